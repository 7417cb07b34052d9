module probe.modular {
    exports probe.modular;
}
