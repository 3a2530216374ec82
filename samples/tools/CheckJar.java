// Reads archives with the JDK's JarInputStream and says what a handset's
// installer would object to; prints nothing for a good archive.
//
//   java CheckJar.java ARCHIVE...
//
// A good archive: the reader accepts the manifest (it throws on a malformed
// header line), the manifest is the first entry the reader finds, the MIDlet
// attributes that handsets require are there and not empty, MIDlet-Version
// is one to three dot-separated numbers, and every entry reads to its end.

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.jar.Attributes;
import java.util.jar.JarEntry;
import java.util.jar.JarInputStream;
import java.util.jar.Manifest;

public final class CheckJar {
    private static final String[] REQUIRED = {"MIDlet-1", "MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version"};

    public static void main(String[] args) {
        if (args.length == 0) {
            System.err.println("usage: java CheckJar.java ARCHIVE...");
            System.exit(2);
        }
        boolean allGood = true;
        for (String arg : args) {
            List<String> problems = problems(Path.of(arg));
            for (String problem : problems) System.err.println(arg + ": " + problem);
            allGood &= problems.isEmpty();
        }
        System.exit(allGood ? 0 : 1);
    }

    static List<String> problems(Path archive) {
        List<String> problems = new ArrayList<>();
        try (InputStream file = Files.newInputStream(archive);
             JarInputStream jar = new JarInputStream(file, true)) {
            Manifest manifest = jar.getManifest();
            if (manifest == null) {
                problems.add("no manifest as the first entry");
                return problems;
            }
            Attributes main = manifest.getMainAttributes();
            for (String name : REQUIRED) {
                String value = main.getValue(name);
                if (value == null) problems.add("the manifest has no " + name);
                else if (value.trim().isEmpty()) problems.add("the manifest's " + name + " is empty");
            }
            String version = main.getValue("MIDlet-Version");
            if (version != null && !version.trim().matches("[0-9]+(\\.[0-9]+){0,2}")) {
                problems.add("MIDlet-Version " + version + " is not one to three dot-separated numbers");
            }
            byte[] buffer = new byte[8192];
            for (JarEntry entry; (entry = jar.getNextJarEntry()) != null; ) {
                while (jar.read(buffer) >= 0) {
                    // read to the end, so that the reader checks the entry's size and checksum
                }
            }
        } catch (IOException | RuntimeException e) {
            problems.add("the JDK's reader refuses it: " + e);
        }
        return problems;
    }
}
