package probe;

// main returns while a non-daemon thread still runs; that thread waits until
// the main thread has ended before it writes its last line.
public class Lingering {
    public static void main(String[] args) {
        final Thread mainThread = Thread.currentThread();
        Thread worker = new Thread(() -> {
            try {
                mainThread.join();
                System.out.println("main thread ended");
                Thread.sleep(300);
                System.out.println("worker thread ends");
            } catch (InterruptedException e) {
                System.out.println("interrupted");
            }
        });
        worker.start();
        System.out.println("main returns");
    }
}
