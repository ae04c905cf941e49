#pragma once
// The pages of the filter wizard: page 1 (name, include/exclude, kind) and one page per
// filter kind. Each page follows the same five steps as the profile pages.
#include <QFrame>

#include "core/Profiles_u.h"

namespace brindle {

class TUiServices;

class TfrFilter : public QFrame {
    Q_OBJECT
public:
    explicit TfrFilter(TUiServices& ui, QWidget* parent = nullptr);

    // One-time preparation: list contents and initial choices.
    virtual void Init() = 0;
    // True when the input is acceptable; otherwise the page has shown its own warning.
    virtual bool Validate() = 0;
    virtual void SaveToFilter(TRecFilterProperty& filter) = 0;
    // Releases what Init made.
    virtual void Done() = 0;
    virtual void LoadFromFilter(const TRecFilterProperty& filter) = 0;

protected:
    TUiServices& Ui() const { return ui_; }

private:
    TUiServices& ui_;
};

}  // namespace brindle
