#pragma once
#include "gui/app/CommandTarget.h"
#include "gui/view/ImageCommands.h"

#include <QWidget>

namespace quiltara::gui {

class CCanvasWnd;
class CTessaryDoc;

/// The document's view: holds the canvas window over its whole area and routes the
/// view commands (zoom, tile border, and later editing commands) to it.
class CTessaryView : public QWidget, public ICommandTarget {
    Q_OBJECT
public:
    explicit CTessaryView(CTessaryDoc* document, QWidget* parent = nullptr);

    /// Hands the document's pictures to the canvas; the document then lets its copy go.
    void OnInitialUpdate();

    /// "Reload": asks, then opens the document's file again and shows it.
    void Reload();

    CTessaryDoc* Document() const { return m_document; }
    CCanvasWnd* Canvas() const { return m_canvas; }

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

signals:
    void zoomChanged(double zoom);

private:
    CTessaryDoc* m_document;
    CCanvasWnd* m_canvas;
    CImageCommands m_imageCommands{this};
};

} // namespace quiltara::gui
