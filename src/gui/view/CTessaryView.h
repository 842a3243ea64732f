#pragma once
#include "gui/app/CommandTarget.h"
#include "gui/view/ImageCommands.h"
#include "gui/view/SeamOverlay.h"

#include <QWidget>

class QTimer;

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

    /// The seam meter of the picture shown, for the status bar and "Show Seams".
    const CSeamOverlay& Seams() const { return m_seams; }
    bool ShowSeams() const { return m_showSeams; }
    /// The picture may have changed: its seams are measured again now (a pass along
    /// its edges), its repetition a moment later, once edits pause.
    void PictureChanged();
    /// Measures the repetition now if it waits.
    void FlushSeamMeter();

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

signals:
    void zoomChanged(double zoom);

private:
    bool RunCommand(int id);

    CTessaryDoc* m_document;
    CCanvasWnd* m_canvas;
    CImageCommands m_imageCommands{this};
    CSeamOverlay m_seams;
    bool m_showSeams = false;
    QTimer* m_repetitionTimer;
};

} // namespace quiltara::gui
