#pragma once
// A component that shows a window docked at the right edge of the screen
// into which the program writes trace lines with printf.
#include <functional>
#include <string>

#include "Controls/Dbwinf.h"
#include "Framework/Classes.h"

class TDebugWindow : public TComponent {
public:
    explicit TDebugWindow(TComponent* AOwner);
    ~TDebugWindow() override;

    // Formats one line, shows the window if it is hidden and appends the line;
    // returns what the format produced in full. A line that does not fit the
    // shared buffer raises the notice and is appended cut to the buffer.
    int printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    TDwForm* Form() const { return FForm; }

    // Shows the "buffer too small" notice; a modal message unless replaced.
    static std::function<void(const std::string& Text)> Notice;

private:
    TDwForm* FForm;
};
