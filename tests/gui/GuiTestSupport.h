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

#include "app/CTessaryDoc.h"
#include "tiling/TileWizardModel.h"
#include "view/CCanvasWnd.h"
#include "view/CTessaryView.h"

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
