package probe;

// Asks the application class loader for what an application may look up by
// name: the resource and the class named by the arguments. Prints whether
// each was found; a class file that is found but cannot be loaded counts
// as found.
public class Lookup {
    public static void main(String[] args) {
        String resource = args[0];
        String className = args[1];
        System.out.println("resource " + resource + ": "
                + (ClassLoader.getSystemResource(resource) != null ? "found" : "missing"));
        String found;
        try {
            Class.forName(className);
            found = "found";
        } catch (ClassNotFoundException e) {
            found = "missing";
        } catch (Throwable e) {
            found = "found";
        }
        System.out.println("class " + className + ": " + found);
    }
}
