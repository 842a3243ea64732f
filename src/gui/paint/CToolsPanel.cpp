#include "gui/paint/CToolsPanel.h"

#include "core/paint/ToolSet.h"
#include "gui/app/AppState.h"
#include "gui/paint/PaintToolIcons.h"

#include <QGridLayout>
#include <QToolButton>

namespace quiltara::gui {

CToolsPanel::CToolsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("toolsPanel");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    for (int p = 0; p < kToolBarPositionCount; ++p) {
        auto* button = new QToolButton;
        button->setObjectName(QString("toolButton%1").arg(p));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setIconSize(QSize(24, 24));
        // The button shows the state; a click only asks for the choice.
        connect(button, &QToolButton::clicked, this, [this, p] {
            emit positionChosen(p);
            Refresh(AppState().tools);
        });
        layout->addWidget(button, p / 2, p % 2);
        m_buttons[std::size_t(p)] = button;
    }
    // The buttons stay together at the top however tall the panel is made.
    layout->setRowStretch(kToolBarPositionCount / 2 + 1, 1);
    layout->setColumnStretch(2, 1);
    Refresh(AppState().tools);
}

void CToolsPanel::Refresh(const CToolSet& tools) {
    for (int p = 0; p < kToolBarPositionCount; ++p) {
        QToolButton* button = m_buttons[std::size_t(p)];
        const int tool = tools.ToolAtPosition(p);
        const char* label = ToolBarButtons()[std::size_t(p)].label;
        button->setIcon(PaintToolIcon(tool));
        // The list positions name the tool they stand for now.
        button->setToolTip(p == kPositionRetouch || p == kPositionEffects
                               ? QString("%1: %2").arg(label, ToolLabel(tool))
                               : QString(label));
        button->setChecked(p == tools.Position());
    }
}

} // namespace quiltara::gui
