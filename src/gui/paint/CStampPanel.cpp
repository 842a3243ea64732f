#include "gui/paint/CStampPanel.h"

#include "gui/app/AppState.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quiltara::gui {

CStampPanel::CStampPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("stampPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto box = [this, layout](const char* text, const char* name, const char* tip,
                              bool CCloneState::*option) {
        auto* check = new QCheckBox(text);
        check->setObjectName(name);
        check->setToolTip(tip);
        connect(check, &QCheckBox::toggled, this,
                [option](bool on) { AppState().clone.*option = on; });
        layout->addWidget(check);
        return check;
    };
    m_aligned = box("Aligned", "stampAligned",
                    "Keep the distance between source and target from stroke to stroke",
                    &CCloneState::aligned);
    m_feedback = box("Feedback", "stampFeedback", "Clone what the stroke has just painted as well",
                     &CCloneState::feedback);
    m_wrap = box("Wrap Source", "stampWrap", "A source in another picture repeats beyond its edges",
                 &CCloneState::wrapOther);
    auto* hint = new QLabel("Right-click sets the source.");
    hint->setWordWrap(true);
    layout->addWidget(hint);
    layout->addStretch(1);
    Refresh();
}

void CStampPanel::Refresh() {
    const CCloneState& clone = AppState().clone;
    m_aligned->setChecked(clone.aligned);
    m_feedback->setChecked(clone.feedback);
    m_wrap->setChecked(clone.wrapOther);
}

} // namespace quiltara::gui
