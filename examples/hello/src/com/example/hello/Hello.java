package com.example.hello;

import com.example.greeting.Greeter;
import java.time.LocalTime;
import java.time.format.DateTimeFormatter;

/**
 * The example application: greets everyone named on the command line (and in
 * the Cmd setting of hello.ini), and writes a line about each run to its log,
 * which is the Java standard error stream that hello.ini sends into a file.
 */
public final class Hello {
    public static void main(String[] args) {
        Greeter greeter = new Greeter(System.getProperty("hello.salutation", "Hello"));
        String[] names = args.length > 0 ? args : new String[] {"World"};
        for (String name : names) {
            System.out.println(greeter.greet(name));
        }
        Runtime runtime = Runtime.getRuntime();
        System.out.println("Java " + System.getProperty("java.version") + " from " + System.getProperty("java.home")
                + ", heap limit " + (runtime.maxMemory() >> 20) + " MiB");
        System.err.println(LocalTime.now().format(DateTimeFormatter.ofPattern("HH:mm:ss")) + " greeted " + names.length
                + " name(s) with arguments " + String.join(" | ", args));
    }
}
