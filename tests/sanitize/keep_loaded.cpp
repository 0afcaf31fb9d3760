// Preloaded into sanitizer runs: dlclose does nothing, so the GL driver stays
// mapped at exit and a leak is reported with its library, not "<unknown module>".
extern "C" int dlclose(void*) { return 0; }
