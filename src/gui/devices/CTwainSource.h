#pragma once
#include "core/devices/SaneScanner.h"

#include <QDialog>
#include <QObject>
#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;

namespace quiltara {
class ISettingsStore;
}

namespace quiltara::gui {

class CAcquireDlg;

/// Scanners and cameras: "Select Source..." and "Acquire...", over SANE loaded at run
/// time. The chosen device is remembered in section "Acquire", key "Source". Each
/// picture a scan delivers is written to "TEMP.BMP" in the program folder and opened
/// from there as a new document; the file is overwritten by the next picture.
class CTwainSource : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kProblemText = "There was a problem with the device.";
    static constexpr const char* kMissingLibraryText = "Can't find libsane.so.1";

    explicit CTwainSource(ISettingsStore* store = nullptr, QObject* parent = nullptr);
    ~CTwainSource() override;

    /// Loads the library unless loaded; tells the user when it is missing.
    bool Load(QWidget* window);
    /// Ends a scan in progress, closes the scanning window and the device.
    void CloseAll();
    /// "Select Source...": lists the devices and remembers the one chosen. Starts and
    /// ends with everything closed. True when a device was chosen.
    bool SelectSource(QWidget* window);
    /// "Acquire...": opens the chosen device (or the first one) and shows its scanning
    /// window, which stays until the user closes it. False, after telling the user,
    /// when there is no device or it cannot be opened.
    bool Acquire(QWidget* window);

    /// The remembered device, or empty.
    QString SelectedSource() const { return m_selected; }
    /// The scanning window while a device is open, or null.
    CAcquireDlg* AcquireWindow() const { return m_window; }
    /// What becomes of each scanned picture (a plain RGB buffer, top row first): by
    /// default it is written to the transfer file and opened as a new document.
    std::function<void(const std::vector<std::uint8_t>& rgb, int width, int height)> onPicture;
    /// The transfer file: "TEMP.BMP" in the program folder.
    static QString TransferFile();
    /// Writes the picture to the transfer file and opens it as a new document; tells
    /// the user when it cannot be written. False when no document was made.
    static bool OpenAsNewDocument(const std::vector<std::uint8_t>& rgb, int width, int height,
                                  QWidget* window);

private:
    void WindowClosed();

    ISettingsStore* m_store;
    CSaneLibrary m_library;
    std::unique_ptr<CSaneDevice> m_device;
    CAcquireDlg* m_window = nullptr;
    QString m_selected;
};

/// The list of devices of "Select Source...".
class CSelectSourceDlg : public QDialog {
    Q_OBJECT
public:
    CSelectSourceDlg(const std::vector<ScannerDevice>& devices, const QString& current,
                     QWidget* parent = nullptr);
    /// The device name chosen, or empty.
    QString Chosen() const;

private:
    std::vector<ScannerDevice> m_devices;
    QListWidget* m_list;
};

/// The scanning window of an open device: mode, resolution and paper source, "Scan"
/// with progress and "Cancel". The scan runs on a thread of its own; each picture is
/// handed over on the window's thread. Closing the window closes the device.
class CAcquireDlg : public QDialog {
    Q_OBJECT
public:
    CAcquireDlg(CSaneDevice& device, const QString& label, QWidget* parent = nullptr);
    ~CAcquireDlg() override;

    /// Starts a scan with the chosen settings (as the "Scan" button does); false when
    /// one is already running or a setting is refused.
    bool StartScan();
    /// Asks a running scan to stop.
    void CancelScan();
    bool Scanning() const { return m_thread != nullptr; }
    /// Waits until the running scan has ended (its pictures not yet delivered).
    void WaitForScan();
    /// Closing the window ends a running scan first.
    void reject() override;

signals:
    void pictureScanned(const std::vector<std::uint8_t>& rgb, int width, int height);
    void scanFailed();
    void scanEnded();

private:
    struct Picture {
        std::vector<std::uint8_t> rgb;
        int width, height;
    };
    void ScanFinished(bool failed);
    void DeliverPictures();

    CSaneDevice& m_device;
    QComboBox* m_mode;
    QSpinBox* m_resolution;
    QComboBox* m_source;
    QPushButton* m_scan;
    QPushButton* m_cancel;
    QProgressBar* m_progress;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancelRequested{false};
    std::atomic<int> m_percent{0};
    std::deque<Picture> m_pending;
    bool m_delivering = false;
};

} // namespace quiltara::gui
