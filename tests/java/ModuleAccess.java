package probe;

// Reaches into java.base where only a JAR's Add-Opens and Add-Exports let it.
public class ModuleAccess {
    public static void main(String[] args) throws Exception {
        java.lang.reflect.Field value = String.class.getDeclaredField("value");
        value.setAccessible(true);
        System.out.println("String.value opened, " + ((byte[]) value.get("ab")).length + " bytes");
        Object level = Class.forName("jdk.internal.misc.VM").getMethod("initLevel").invoke(null);
        System.out.println("jdk.internal.misc exported, init level " + level);
    }
}
