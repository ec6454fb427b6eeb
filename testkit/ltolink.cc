// The stand-in linker plug-in.  The wrappers and the driver only find it and
// pass its path on; nothing loads it, but it is a real shared object so that
// a tool that did would succeed.
extern "C" __attribute__((visibility("default"))) const char* standin_plugin_name() {
  return "libltolink.so (stand-in)";
}
