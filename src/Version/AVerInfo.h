#pragma once
// Reads the four numbers of a module's file version from its version
// resource, and can append them to the caption of the form that owns it.
#include <windows.h>

#include <string>

#include "Framework/Classes.h"
#include "Framework/Exception.h"

// Which number of the file version: major.minor.release.build.
enum VersionType : int { vtMajor = 0, vtMinor = 1, vtRelease = 2, vtBuild = 3 };

// A broken assumption of the program: the condition that failed, with the
// source and line that relied on it.
class EAssertionFailed : public Exception {
    using Exception::Exception;
};

class TAVerInfo : public TComponent {
public:
    explicit TAVerInfo(TComponent* AOwner);

    // Reads the version resource afresh. Raises "FAILED(VER) '...'" when the
    // module has no readable version, and EAssertionFailed when the module
    // handle names no module.
    int GetVersion(VersionType type);
    int GetMajor() { return GetVersion(vtMajor); }
    int GetMinor() { return GetVersion(vtMinor); }
    int GetRelease() { return GetVersion(vtRelease); }
    int GetBuild() { return GetVersion(vtBuild); }

    bool ShowVer() const { return FShowVer; }
    void SetShowVer(bool value);
    HMODULE HModule() const { return FHModule; }
    // None means the program's own executable.
    void SetHModule(HMODULE module);

    // Shows or removes the " - major.minor.release.build" suffix on the owner
    // form's caption.
    void UpdateCaption();

private:
    std::string ModuleFileName() const;

    bool FShowVer = false;
    std::string FSavedCaption;
    HMODULE FHModule = nullptr;
    // True once FSavedCaption holds the form's own caption.
    bool FCaptionSaved = false;
};
