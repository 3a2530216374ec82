// Stand-in for the block game's main class. The sample archive only needs a
// real class file under the name that its MIDlet-1 line gives; the handset
// classes are not needed to compile it.
public class BlockMain {
}
