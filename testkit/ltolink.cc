// The no-op linker plug-in of the test toolchain.  The wrappers and the
// driver find it and pass its path on (-plugin, --plugin); a real linker or
// archiver given it loads it and calls its entry point, so it has one that
// does nothing and reports success.  It registers no handler, so it claims
// no input file and every option it is given (-plugin-opt=...) is accepted
// and ignored: the tool works exactly as it would without the plug-in.

namespace {

// One entry of the transfer vector the loading tool passes: a tag and a
// value whose kind depends on the tag.  A zero tag ends the vector.  Nothing
// in it is needed here.
struct TransferEntry {
  int tag;
  union {
    int number;
    const char* text;
    void* pointer;
  } value;
};

}  // namespace

// The entry point the loading tool calls once, right after loading the
// plug-in; 0 tells it the plug-in is ready.
extern "C" __attribute__((visibility("default"))) int onload(const TransferEntry* /*vector*/) {
  return 0;
}
