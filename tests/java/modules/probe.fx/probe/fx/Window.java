package probe.fx;

import javafx.application.Application;
import javafx.application.Platform;
import javafx.scene.Scene;
import javafx.scene.control.Label;
import javafx.stage.Stage;

// A JavaFX application without a main method: opens a stage, says where it
// runs and with which arguments once it is shown, and ends.
public class Window extends Application {
    @Override
    public void start(Stage stage) {
        stage.setScene(new Scene(new Label("probe"), 200, 100));
        stage.show();
        System.out.println("shown " + stage.isShowing() + " in module " + Window.class.getModule().getName()
                + " with " + String.join(",", getParameters().getRaw()));
        Platform.exit();
    }
}
