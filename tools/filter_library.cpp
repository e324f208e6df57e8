#include "tools/filter_library.h"

#include <dlfcn.h>

#include <string>

#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

std::string LoadError() {
  const char* text = dlerror();
  return std::string("cannot load ") + kFilterLibraryName + ": " + (text ? text : "unknown error");
}

template <typename Function>
void Resolve(void* library, const char* name, Function& function) {
  dlerror();
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    throw RuntimeError(LoadError());
  }
  function = reinterpret_cast<Function>(symbol);
}

FilterLibrary Load() {
  // Never closed: the process ends with it loaded, as it did when it was linked.
  void* library = dlopen(kFilterLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    throw RuntimeError(LoadError());
  }
  FilterLibrary f{};
  Resolve(library, "avfilter_graph_alloc", f.graphAlloc);
  Resolve(library, "avfilter_graph_free", f.graphFree);
  Resolve(library, "avfilter_get_by_name", f.getByName);
  Resolve(library, "avfilter_graph_create_filter", f.graphCreateFilter);
  Resolve(library, "avfilter_inout_alloc", f.inoutAlloc);
  Resolve(library, "avfilter_inout_free", f.inoutFree);
  Resolve(library, "avfilter_graph_parse_ptr", f.graphParsePtr);
  Resolve(library, "avfilter_graph_config", f.graphConfig);
  Resolve(library, "av_buffersrc_add_frame", f.buffersrcAddFrame);
  Resolve(library, "av_buffersink_get_frame", f.buffersinkGetFrame);
  Resolve(library, "av_buffersink_set_frame_size", f.buffersinkSetFrameSize);
  return f;
}

}  // namespace

const FilterLibrary& Filters() {
  // A throwing first call leaves it unset, so a later call tries again and fails the same way.
  static const FilterLibrary library = Load();
  return library;
}

}  // namespace vorzik::tools
