#pragma once
// A label that draws its caption up to three times: a shadow copy, a
// highlight copy and the text on top, each in its own colour and offset.
#include <string>

#include "Controls/ShadolblLayout.h"
#include "Framework/StdCtrls.h"

class TShadowLabel : public TLabel {
public:
    explicit TShadowLabel(TComponent* AOwner);
    std::string ClassName() const override { return "TShadowLabel"; }

    TShadow& Highlight() { return FHighlight; }
    TShadow& Shadow() { return FShadow; }
    // Copies the settings into the label's own object; nullptr is ignored.
    void SetHighlight(const TShadow* Value);
    void SetShadow(const TShadow* Value);
    void ShadowChanged(TObject* Sender);

protected:
    void Paint(TCanvas& canvas) override;

private:
    TShadow FHighlight;
    TShadow FShadow;
};
