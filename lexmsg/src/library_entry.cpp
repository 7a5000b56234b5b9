// The shared library's own translation unit: the version marker that tools
// find by scanning the module. Every export lives in lexmsg_core.
namespace {

[[gnu::used]] const char kVersionMarker[] = "LeXmSgVeRsIoN=1.7.3.4";

}  // namespace
