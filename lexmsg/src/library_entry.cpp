// The shared library's own translation unit: the version marker that tools
// find by scanning the module. Every export lives in lexmsg_core.
namespace {

// LEXMSG_VERSION_TEXT comes from the build, which states the version once.
[[gnu::used]] const char kVersionMarker[] = "LeXmSgVeRsIoN=" LEXMSG_VERSION_TEXT;

}  // namespace
