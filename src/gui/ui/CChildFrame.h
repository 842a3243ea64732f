#pragma once
#include <QMdiSubWindow>

namespace quiltara::gui {

class CTessaryDoc;
class CTessaryView;

/// The frame of one document window inside the main window.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    /// Takes ownership of the document; creates its view.
    explicit CChildFrame(CTessaryDoc* document, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTessaryDoc* Document() const { return m_document; }
    CTessaryView* View() const { return m_view; }
    /// The title's changed mark follows the document.
    void RefreshModified();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CTessaryDoc* m_document;
    CTessaryView* m_view;
};

} // namespace quiltara::gui
