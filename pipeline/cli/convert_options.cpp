#include "pipeline/cli/convert_options.h"

#include <functional>
#include <map>

namespace vorzik {

const char kConvertUsage[] =
    "usage: vorzik-convert SOURCE [options]\n"
    "Converts one file through the outside tools into the work folder EtcEnc beside it,\n"
    "with the window's defaults unless an option says otherwise.\n"
    "\n"
    "filter stage:\n"
    "  --no-filter            skip the filter stage\n"
    "  --fir | --iir          filter variant (default --fir)\n"
    "  --quality[=T]          pass -q (default on, T=200); --no-quality leaves it out\n"
    "  --effect[=T]           pass -e (T default 100)\n"
    "  --gain[=T]             pass -g (T default 100)\n"
    "  --fade-in[=T]          pass -i (T default 0)\n"
    "  --fade-out[=T]         pass -o (T default 0)\n"
    "normalise stage:\n"
    "  --no-normalize         skip the normalise stage\n"
    "  --ratio=T              normalisation ratio (default 90)\n"
    "encode stage:\n"
    "  --no-encode            skip the encode stage\n"
    "  --mode=mp2|ac3|ogg     encoder (default mp2)\n"
    "  --bitrate=T            MP2 and AC3 bit rate (default 224)\n"
    "  --error-protection     MP2 error protection\n"
    "  --boost[=PRESET]       AC3 boost, PRESET Brex, Ov or Snal (default Ov)\n"
    "  --boost-level=T        boost level in dB (default 3)\n"
    "  --ogg-quality=T        Ogg Vorbis quality (default 4.00)\n"
    "  --noise-gate[=T]       noise gate at level T (default 70)\n"
    "other:\n"
    "  --keep-tmp             keep the intermediate stage files\n"
    "  -h, --help             this text\n"
    "  -V, --version          the version and the licence\n"
    "  --                     every later argument is SOURCE, even one starting with -\n";

namespace {

// An option that may carry a value: the flag is set, the value replaces the
// text when given.
struct ValueOption {
  bool* flag;
  std::string* text;
};

}  // namespace

std::string ParseConvertOptions(const std::vector<std::string>& args, ConvertOptions& o) {
  ConversionSettings& s = o.settings;
  FixedSwitches& sw = o.switches;
  const std::map<std::string, ValueOption> valued{
      {"--quality", {&s.useQuality, &s.quality}},
      {"--effect", {&s.useEffect, &s.effect}},
      {"--gain", {&s.useGain, &s.gain}},
      {"--fade-in", {&s.useFadeIn, &s.fadeIn}},
      {"--fade-out", {&s.useFadeOut, &s.fadeOut}},
      {"--boost", {&s.useBoost, &s.boostPreset}},
      {"--noise-gate", {&s.useNoiseGate, &s.noiseGateLevel}},
      {"--ratio", {nullptr, &s.normaliseRatio}},
      {"--bitrate", {nullptr, &s.bitRate}},
      {"--boost-level", {nullptr, &s.boostLevel}},
      {"--ogg-quality", {nullptr, &s.oggQuality}},
  };
  const std::map<std::string, std::function<void()>> plain{
      {"--no-filter", [&] { sw.filter = false; }},
      {"--fir", [&] { sw.filterVariant = s.filterVariant = 0; }},
      {"--iir", [&] { sw.filterVariant = s.filterVariant = 1; }},
      {"--no-quality", [&] { s.useQuality = false; }},
      {"--no-normalize", [&] { sw.normalise = false; }},
      {"--no-encode", [&] { sw.encode = false; }},
      {"--error-protection", [&] { s.errorProtection = true; }},
      {"--keep-tmp", [&] { sw.deleteIntermediate = false; }},
      {"--help", [&] { o.help = true; }},
      {"-h", [&] { o.help = true; }},
      {"--version", [&] { o.version = true; }},
      {"-V", [&] { o.version = true; }},
  };
  const std::map<std::string, int> modes{{"mp2", 0}, {"ac3", 1}, {"ogg", 2}};

  bool optionsEnded = false;
  for (const std::string& arg : args) {
    // A lone "-" is no option; after "--" nothing is.
    if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
      if (!o.source.empty())
        return "more than one SOURCE given: " + arg;
      o.source = arg;
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::size_t eq = arg.find('=');
    std::string name = arg.substr(0, eq);
    bool hasValue = eq != std::string::npos;
    std::string value = hasValue ? arg.substr(eq + 1) : "";
    if (auto p = plain.find(name); p != plain.end() && !hasValue) {
      p->second();
    } else if (auto v = valued.find(name); v != valued.end()) {
      if (!v->second.flag && !hasValue)
        return name + " needs a value";
      if (v->second.flag)
        *v->second.flag = true;
      if (hasValue)
        *v->second.text = value;
    } else if (name == "--mode" && hasValue && modes.count(value)) {
      s.encodeMode = modes.at(value);
    } else {
      return "unknown option: " + arg;
    }
  }
  if (!o.help && !o.version && o.source.empty())
    return "no SOURCE given";
  return {};
}

}  // namespace vorzik
