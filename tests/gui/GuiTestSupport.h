#pragma once
// Helpers for driving modal dialogs in offscreen GUI tests.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace quiltara::test {

/// Once a modal widget of type T is up, runs action on it (looks every 10 ms for
/// up to five seconds). It polls with timers rather than waiting in a loop, so that
/// code pumping events before the dialog opens is not blocked by the test.
template <typename T> void WhenModal(std::function<void(T*)> action, int triesLeft = 500) {
    QTimer::singleShot(10, [action, triesLeft] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(w);
        } else if (triesLeft > 0) {
            WhenModal<T>(action, triesLeft - 1);
        }
    });
}

/// Answers the next message box with button and records its text.
inline void AnswerMessageBox(QMessageBox::StandardButton button, QString* text = nullptr) {
    WhenModal<QMessageBox>([button, text](QMessageBox* box) {
        if (text) *text = box->text();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->accept();
    });
}

} // namespace quiltara::test

#include "core/tiling/TileWizardModel.h"
#include "gui/app/CTessaryDoc.h"
#include "gui/view/CCanvasWnd.h"
#include "gui/view/CTessaryView.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace quiltara::test {

/// The tile wizard answered with "Use Whole Image" at once: for tests that open
/// files for other reasons (put it in CTessaryDoc::tileWizard).
inline bool KeepWholeImage(const CDIBSection2&, TileWizardOutcome& outcome) {
    outcome = TileWizardOutcome{};
    outcome.useWholeImage = true;
    outcome.image.MakeEmpty();
    outcome.surroundings.image.MakeEmpty();
    return true;
}

/// Closes every document window, dropping unsaved changes without asking.
inline void CloseAllWithoutSaving(QMdiArea* area) {
    for (QMdiSubWindow* w : area->subWindowList()) {
        if (auto* view = qobject_cast<gui::CTessaryView*>(w->widget())) {
            view->Canvas()->Model().unsavedChanges = false;
            view->Document()->SetModifiedFlag(false);
        }
    }
    area->closeAllSubWindows();
}

} // namespace quiltara::test

#include "gui/app/CTessaryApp.h"
#include "gui/app/CommandIds.h"
#include "gui/ui/CMainFrame.h"
#include "gui/ui/CNewTileSizeDlg.h"
#include "support/TestSupport.h"

#include <QLineEdit>

namespace quiltara::test {

/// The application as a test runs it: a fresh program folder, settings in memory (the
/// first-run help picture already seen), the main window up.
struct AppUnderTest {
    std::unique_ptr<TempFolder> folder;
    std::unique_ptr<gui::CTessaryApp> app;

    void Start() {
        folder = std::make_unique<TempFolder>();
        auto store = std::make_unique<CMemorySettingsStore>();
        store->SetInt("AppWin", "Run", 1);
        app = std::make_unique<gui::CTessaryApp>(std::move(store));
        app->InitInstance();
    }
    /// Closes every window without asking, writes the settings, removes the folder.
    void Stop() {
        CloseAllWithoutSaving(app->MainFrame()->MdiArea());
        app->ExitInstance();
        app.reset();
        folder.reset();
    }
    gui::CMainFrame* Frame() const { return app->MainFrame(); }
};

/// "&New" through its dialog with the given size, then the picture filled with a
/// pattern (the before-image too, so that the next edit's undo step holds it).
inline gui::CTessaryView* NewPatternDocument(gui::CMainFrame* frame, int w, int h,
                                             std::uint32_t seed = 1) {
    WhenModal<gui::CNewTileSizeDlg>([w, h](gui::CNewTileSizeDlg* d) {
        d->findChild<QLineEdit*>("width")->setText(QString::number(w));
        d->findChild<QLineEdit*>("height")->setText(QString::number(h));
        d->accept();
    });
    frame->Dispatch(gui::ID_FILE_NEW);
    gui::CTessaryView* view = frame->ActiveView();
    if (!view) return nullptr;
    CCanvasModel& model = view->Canvas()->Model();
    MakePatternPicture(model.WorkingImage(), w, h, seed);
    model.SyncBeforeImage();
    return view;
}

} // namespace quiltara::test
