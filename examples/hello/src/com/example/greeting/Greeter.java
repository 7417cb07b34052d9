package com.example.greeting;

/** Builds the greeting; shipped in a jar of its own (lib/greeting.jar). */
public final class Greeter {
    private final String salutation;

    public Greeter(String salutation) {
        this.salutation = salutation;
    }

    public String greet(String name) {
        return salutation + ", " + name + "!";
    }
}
