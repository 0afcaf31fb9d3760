// Preloaded into sanitizer runs: dlclose does nothing, so the GL driver SDL
// unloads at exit stays mapped and a leak is reported with its library, not
// from "<unknown module>".
extern "C" int dlclose(void*) { return 0; }
