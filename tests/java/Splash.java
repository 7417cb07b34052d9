package probe;

import java.awt.SplashScreen;

// The splash screen as the application sees it: whether there is one, its
// image's file name and size. With one it records "up" in splash.log, waits
// for the file "gate" (the scenario looks at the screen meanwhile) and
// closes it.
public class Splash {
    public static void main(String[] args) throws InterruptedException {
        SplashScreen splash = SplashScreen.getSplashScreen();
        if (splash == null) {
            System.out.println("no splash");
            return;
        }
        String url = splash.getImageURL().toString();
        System.out.println("splash " + url.substring(url.lastIndexOf('/') + 1) + " "
                + splash.getSize().width + "x" + splash.getSize().height);
        InstanceLog.log("splash.log", "up", args);
        InstanceLog.await("gate");
        splash.close();
        System.out.println("closed");
    }
}
