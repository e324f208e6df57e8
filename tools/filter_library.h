#pragma once

// libavfilter, loaded the first time a filter graph is built. Linking it would load it
// and the thirty-odd libraries it brings into every tool at start-up, also into the
// decodes and plain encodes that need no graph.
#include <memory>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavfilter/version.h>
#include <libavutil/macros.h>
}

namespace vorzik::tools {

/// The library of the very version the headers describe, by its SONAME.
inline constexpr const char* kFilterLibraryName =
    "libavfilter.so." AV_STRINGIFY(LIBAVFILTER_VERSION_MAJOR);

/// The library's functions the tools call.
struct FilterLibrary {
  decltype(&avfilter_graph_alloc) graphAlloc;
  decltype(&avfilter_graph_free) graphFree;
  decltype(&avfilter_get_by_name) getByName;
  decltype(&avfilter_graph_create_filter) graphCreateFilter;
  decltype(&avfilter_inout_alloc) inoutAlloc;
  decltype(&avfilter_inout_free) inoutFree;
  decltype(&avfilter_graph_parse_ptr) graphParsePtr;
  decltype(&avfilter_graph_config) graphConfig;
  decltype(&av_buffersrc_add_frame) buffersrcAddFrame;
  decltype(&av_buffersink_get_frame) buffersinkGetFrame;
  decltype(&av_buffersink_set_frame_size) buffersinkSetFrameSize;
};

/// Loads the library on the first call (from any thread) and returns its functions;
/// throws a RuntimeError naming the library when it cannot be loaded.
const FilterLibrary& Filters();

struct GraphFree {
  void operator()(AVFilterGraph* g) const { Filters().graphFree(&g); }
};
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphFree>;

}  // namespace vorzik::tools
