#pragma once

#include <string>
#include <string_view>

namespace vorzik {

inline constexpr std::string_view kBeSweet = "BeSweet.exe";
inline constexpr std::string_view kFirTool = "ql7rzfir.exe";
inline constexpr std::string_view kIirTool = "ql7rziir.exe";
inline constexpr std::string_view kNormaliser = "normalize.exe";

// The four command lines the outside tools accept. Everything outside braces
// is literal; a placeholder is replaced by its value unchanged.
inline constexpr std::string_view kDecodeTemplate =
    "BeSweet.exe -core( -input \"{in}\" -output \"{out}\" -2ch )";
inline constexpr std::string_view kFilterTemplate = "{tool} -y{filterOptions} {in} {out}";
inline constexpr std::string_view kNormaliseTemplate =
    "normalize.exe{normaliseOptions} -o {out} {in}";
inline constexpr std::string_view kEncodeTemplate =
    "BeSweet.exe -core( -input \"{in}\" -output \"{out}\" ){encoderClause}{noiseGateClause}";

struct TemplateValue {
  std::string_view name;
  std::string_view value;
};

// Replaces each {name} of the template by its value; an unknown placeholder
// stays as written.
std::string FillTemplate(std::string_view commandTemplate,
                         std::initializer_list<TemplateValue> values);

// The tool a filter variant names: 0 the FIR tool, anything else the IIR tool.
std::string_view FilterToolName(int filterVariant);

std::string DecodeCommand(std::string_view in, std::string_view out);
// The filter and normaliser lines carry bare paths; a path with a blank or a
// tab is quoted there, or it would reach the tool in pieces.
std::string FilterCommand(std::string_view tool, std::string_view filterOptions,
                          std::string_view in, std::string_view out);
std::string NormaliseCommand(std::string_view normaliseOptions, std::string_view out,
                             std::string_view in);
std::string EncodeCommand(std::string_view in, std::string_view out, std::string_view encoderClause,
                          std::string_view noiseGateClause);

// The path as it stands in a bare-path command line.
std::string BarePathArgument(std::string_view path);

}  // namespace vorzik
