module probe.fx {
    requires javafx.controls;
    exports probe.fx;
}
