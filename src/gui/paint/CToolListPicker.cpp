#include "gui/paint/CToolListPicker.h"

#include "core/paint/ToolSet.h"
#include "gui/app/AppState.h"
#include "gui/paint/PaintToolIcons.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace quiltara::gui {

CToolListPicker::CToolListPicker(std::span<const int> tools, int position, QWidget* parent)
    : QWidget(parent), m_tools(tools), m_position(position), m_list(new QListWidget) {
    m_list->setObjectName("toolList");
    m_list->setIconSize(QSize(24, 24));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int tool : m_tools) {
        auto* item = new QListWidgetItem(PaintToolIcon(tool), ToolLabel(tool), m_list);
        item->setData(Qt::UserRole, tool);
    }
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        emit entryChosen(m_list->row(item));
        Refresh(AppState().tools);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_list);
    Refresh(AppState().tools);
}

void CToolListPicker::Refresh(const CToolSet& tools) {
    const int remembered = tools.ToolAtPosition(m_position);
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem* item = m_list->item(row);
        const bool chosen = m_tools[std::size_t(row)] == remembered;
        item->setSelected(chosen);
        if (chosen) m_list->setCurrentItem(item);
    }
}

} // namespace quiltara::gui
