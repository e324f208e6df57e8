#include "pipeline/tool_commands.h"

namespace vorzik {

std::string FillTemplate(std::string_view commandTemplate,
                         std::initializer_list<TemplateValue> values) {
  std::string out;
  std::size_t i = 0;
  while (i < commandTemplate.size()) {
    std::size_t open = commandTemplate.find('{', i);
    std::size_t close = open == std::string_view::npos ? open : commandTemplate.find('}', open);
    if (close == std::string_view::npos) {
      out += commandTemplate.substr(i);
      break;
    }
    out += commandTemplate.substr(i, open - i);
    std::string_view name = commandTemplate.substr(open + 1, close - open - 1);
    const TemplateValue* match = nullptr;
    for (const auto& v : values) {
      if (v.name == name)
        match = &v;
    }
    if (match) {
      out += match->value;
    } else {
      out += commandTemplate.substr(open, close - open + 1);
    }
    i = close + 1;
  }
  return out;
}

std::string_view FilterToolName(int filterVariant) {
  return filterVariant == 0 ? kFirTool : kIirTool;
}

std::string BarePathArgument(std::string_view path) {
  if (path.find_first_of(" \t") == std::string_view::npos)
    return std::string(path);
  return "\"" + std::string(path) + "\"";
}

std::string DecodeCommand(std::string_view in, std::string_view out) {
  return FillTemplate(kDecodeTemplate, {{"in", in}, {"out", out}});
}

std::string FilterCommand(std::string_view tool, std::string_view filterOptions,
                          std::string_view in, std::string_view out) {
  std::string bareIn = BarePathArgument(in);
  std::string bareOut = BarePathArgument(out);
  return FillTemplate(
      kFilterTemplate,
      {{"tool", tool}, {"filterOptions", filterOptions}, {"in", bareIn}, {"out", bareOut}});
}

std::string NormaliseCommand(std::string_view normaliseOptions, std::string_view out,
                             std::string_view in) {
  std::string bareIn = BarePathArgument(in);
  std::string bareOut = BarePathArgument(out);
  return FillTemplate(kNormaliseTemplate,
                      {{"normaliseOptions", normaliseOptions}, {"in", bareIn}, {"out", bareOut}});
}

std::string EncodeCommand(std::string_view in, std::string_view out, std::string_view encoderClause,
                          std::string_view noiseGateClause) {
  return FillTemplate(kEncodeTemplate, {{"in", in},
                                        {"out", out},
                                        {"encoderClause", encoderClause},
                                        {"noiseGateClause", noiseGateClause}});
}

}  // namespace vorzik
