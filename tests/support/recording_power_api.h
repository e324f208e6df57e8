#pragma once

#include <string>
#include <vector>

#include "shell/power/power_api.h"

namespace vorzik::shell {

/// A PowerApi that only writes down each request, in order, and answers as
/// the test sets it up. Nothing reaches the system.
class RecordingPowerApi : public PowerApi {
 public:
  bool accepts = true;
  /// Every request so far: "PowerOff" or "Hibernate".
  std::vector<std::string> calls;

  bool PowerOff() override { return Record("PowerOff"); }
  bool Hibernate() override { return Record("Hibernate"); }

 private:
  bool Record(const char* request) {
    calls.push_back(request);
    return accepts;
  }
};

}  // namespace vorzik::shell
