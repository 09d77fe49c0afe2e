#include "Controls/Dbwin.h"

#include <cstdarg>
#include <string>

#include "Controls/DbwinLayout.h"

std::function<void(const std::string& Text)> TDebugWindow::Notice = [](const std::string& Text) { ShowMessage(Text); };

TDebugWindow::TDebugWindow(TComponent* AOwner) : TComponent(AOwner), FForm(new TDwForm(this)) {
    FForm->Show();
    const TRect b = DockRight(TScreen::Width(), TScreen::Height(), FForm->Width());
    FForm->SetBounds(b.Left, b.Top, b.Width(), b.Height());
}

TDebugWindow::~TDebugWindow() {
    if (FForm->Visible()) FForm->Close();
}

int TDebugWindow::printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    TDebugLine line = FormatDebugLine(format, args);
    va_end(args);
    // The notice runs a message loop: take the text out of the shared buffer first.
    std::string text = line.Text;
    if (line.TooLong && Notice) Notice("DebugWindow:バッファが小さすぎます。");
    if (!FForm->Visible()) FForm->Show();
    FForm->Memo1->Lines().Add(text);
    return line.Count;
}
