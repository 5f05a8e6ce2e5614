// Port: hand a URL to the system's default handler (a web map search, a
// mailto: link, the help file). The Qt adapter uses QDesktopServices.
#pragma once

#include <string>

namespace kassio {

class Shell {
  public:
    virtual ~Shell() = default;
    virtual void open(const std::string& url) = 0;
};

}  // namespace kassio
