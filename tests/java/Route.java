package probe;

// Tells whether the launcher loaded this class through
// sun.launcher.LauncherHelper (which then records it as the application's
// class) or through JNI FindClass (which leaves that record empty). Needs
// --add-exports=java.base/sun.launcher=ALL-UNNAMED.
public class Route {
    public static void main(String[] args) throws Exception {
        Class<?> helper = Class.forName("sun.launcher.LauncherHelper");
        Object recorded = helper.getMethod("getApplicationClass").invoke(null);
        System.out.println(recorded == Route.class ? "LauncherHelper" : "FindClass");
    }
}
