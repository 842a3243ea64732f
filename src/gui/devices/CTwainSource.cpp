#include "gui/devices/CTwainSource.h"

#include "core/base/ProgramFolders.h"
#include "core/base/ProgressReporter.h"
#include "core/base/SettingsStore.h"
#include "core/image/DIBSection2.h"
#include "core/image/ImageFileRoutines.h"
#include "gui/app/AppState.h"
#include "gui/app/CTessaryApp.h"
#include "gui/app/CTessaryDoc.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <new>

namespace quiltara::gui {

namespace {
const char* const kSection = "Acquire";
const char* const kSourceKey = "Source";

QString Describe(const ScannerDevice& d) {
    const QString label = QString::fromStdString(d.Label());
    const QString name = QString::fromStdString(d.name);
    return label == name ? name : QString("%1 (%2)").arg(label, name);
}

// A paper source that feeds sheet after sheet: one "Scan" takes all of them.
bool IsFeeder(const QString& source) {
    return source.contains("feeder", Qt::CaseInsensitive) ||
           source.contains("adf", Qt::CaseInsensitive);
}
} // namespace

CTwainSource::CTwainSource(ISettingsStore* store, QObject* parent)
    : QObject(parent), m_store(store) {
    if (m_store) m_selected = QString::fromStdString(m_store->GetString(kSection, kSourceKey, ""));
    onPicture = [this](const std::vector<std::uint8_t>& rgb, int w, int h) {
        OpenAsNewDocument(rgb, w, h, m_window);
    };
}

CTwainSource::~CTwainSource() {
    CloseAll();
    m_library.Unload();
}

bool CTwainSource::Load(QWidget* window) {
    if (m_library.Load()) return true;
    QMessageBox::warning(window, "Quiltara", kMissingLibraryText);
    return false;
}

void CTwainSource::CloseAll() {
    if (m_window) {
        CAcquireDlg* window = m_window;
        m_window = nullptr;
        window->CancelScan();
        window->WaitForScan();
        window->disconnect(this);
        delete window;
    }
    m_device.reset();
}

void CTwainSource::WindowClosed() {
    if (!m_window) return;
    m_window->disconnect(this);
    m_window->deleteLater();
    m_window = nullptr;
    m_device.reset();
}

bool CTwainSource::SelectSource(QWidget* window) {
    if (!Load(window)) return false;
    CloseAll();
    CSelectSourceDlg dialog(m_library.Devices(), m_selected, window);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.Chosen().isEmpty();
    if (chosen) {
        m_selected = dialog.Chosen();
        if (m_store) m_store->SetString(kSection, kSourceKey, m_selected.toStdString());
    }
    // Starts and ends with everything closed: the device list is read afresh next time.
    m_library.Unload();
    return chosen;
}

bool CTwainSource::Acquire(QWidget* window) {
    if (!Load(window)) {
        QMessageBox::warning(window, "Quiltara", kProblemText);
        return false;
    }
    CloseAll();
    const std::vector<ScannerDevice> devices = m_library.Devices();
    const ScannerDevice* device = nullptr;
    for (const ScannerDevice& d : devices)
        if (QString::fromStdString(d.name) == m_selected) device = &d;
    if (!device && !devices.empty()) device = &devices.front();
    m_device = std::make_unique<CSaneDevice>(m_library);
    if (!device || !m_device->Open(device->name)) {
        m_device.reset();
        QMessageBox::warning(window, "Quiltara", kProblemText);
        return false;
    }
    m_window = new CAcquireDlg(*m_device, Describe(*device), window);
    connect(m_window, &CAcquireDlg::pictureScanned, this,
            [this](const std::vector<std::uint8_t>& rgb, int w, int h) {
                if (onPicture) onPicture(rgb, w, h);
            });
    connect(m_window, &CAcquireDlg::scanFailed, this,
            [this] { QMessageBox::warning(m_window, "Quiltara", kProblemText); });
    connect(m_window, &QDialog::finished, this, &CTwainSource::WindowClosed);
    m_window->show();
    return true;
}

QString CTwainSource::TransferFile() {
    return QString::fromStdString(ProgramFolders().program) + "TEMP.BMP";
}

bool CTwainSource::OpenAsNewDocument(const std::vector<std::uint8_t>& rgb, int width, int height,
                                     QWidget* window) {
    const QString path = TransferFile();
    try {
        CDIBSection2 picture;
        picture.ImportRGB(rgb.data(), width, height, 255);
        CNullProgress progress;
        const SaveResult saved = SavePictureFile(picture, path.toStdString(), 75, progress);
        if (!saved.ok) {
            QMessageBox::warning(window, "Quiltara",
                                 QString("Unsupported Error Error !\nError # %1").arg(saved.code));
            return false;
        }
    } catch (const std::bad_alloc&) {
        QMessageBox::critical(window, "Quiltara", "Not enough memory for this picture.");
        return false;
    }
    CTessaryApp* app = CTessaryApp::Instance();
    if (!app) return false;
    AppState().pendingLoadPath = path.toStdString();
    return app->NewDocument() != nullptr;
}

CSelectSourceDlg::CSelectSourceDlg(const std::vector<ScannerDevice>& devices,
                                   const QString& current, QWidget* parent)
    : QDialog(parent), m_devices(devices), m_list(new QListWidget(this)) {
    setWindowTitle("Select Source");
    m_list->setObjectName("sources");
    for (const ScannerDevice& d : m_devices) {
        m_list->addItem(Describe(d));
        if (QString::fromStdString(d.name) == current) m_list->setCurrentRow(m_list->count() - 1);
    }
    if (m_list->currentRow() < 0 && m_list->count() > 0) m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Select");
    buttons->button(QDialogButtonBox::Ok)->setEnabled(m_list->count() > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Sources:", this));
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

QString CSelectSourceDlg::Chosen() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < int(m_devices.size()) ? QString::fromStdString(m_devices[row].name)
                                                   : QString();
}

CAcquireDlg::CAcquireDlg(CSaneDevice& device, const QString& label, QWidget* parent)
    : QDialog(parent), m_device(device), m_mode(new QComboBox(this)),
      m_resolution(new QSpinBox(this)), m_source(new QComboBox(this)),
      m_scan(new QPushButton("Scan", this)), m_cancel(new QPushButton("Cancel", this)),
      m_progress(new QProgressBar(this)) {
    setWindowTitle("Acquire");
    m_mode->setObjectName("mode");
    m_resolution->setObjectName("resolution");
    m_source->setObjectName("source");
    m_scan->setObjectName("scan");
    m_cancel->setObjectName("cancel");
    auto fill = [&device](QComboBox* box, const char* option) {
        for (const std::string& choice : device.Choices(option))
            box->addItem(QString::fromStdString(choice));
        box->setCurrentText(QString::fromStdString(device.Value(option)));
        box->setEnabled(box->count() > 1);
    };
    fill(m_mode, "mode");
    fill(m_source, "source");
    int low = 0, high = 0;
    if (device.Range("resolution", low, high)) {
        m_resolution->setRange(std::max(1, low), std::max(1, high));
        m_resolution->setValue(QString::fromStdString(device.Value("resolution")).toInt());
    } else {
        m_resolution->setEnabled(false);
    }
    m_resolution->setSuffix(" dpi");
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_cancel->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow("Device:", new QLabel(label, this));
    form->addRow("Mode:", m_mode);
    form->addRow("Resolution:", m_resolution);
    form->addRow("Source:", m_source);
    auto* buttons = new QHBoxLayout;
    auto* close = new QPushButton("Close", this);
    buttons->addWidget(m_scan);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    connect(m_scan, &QPushButton::clicked, this, &CAcquireDlg::StartScan);
    connect(m_cancel, &QPushButton::clicked, this, &CAcquireDlg::CancelScan);
    connect(close, &QPushButton::clicked, this, &CAcquireDlg::reject);
    auto* timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this] {
        if (m_thread) m_progress->setValue(m_percent.load());
    });
    timer->start();
}

CAcquireDlg::~CAcquireDlg() {
    CancelScan();
    WaitForScan();
    delete m_thread;
}

void CAcquireDlg::DeliverPictures() {
    // Opening a picture may pump events; the next one waits until this one is open,
    // since both go through the same transfer file.
    if (m_delivering) return;
    m_delivering = true;
    while (!m_pending.empty()) {
        const Picture picture = std::move(m_pending.front());
        m_pending.pop_front();
        emit pictureScanned(picture.rgb, picture.width, picture.height);
    }
    m_delivering = false;
}

bool CAcquireDlg::StartScan() {
    if (m_thread) return false;
    // The settings go to the device while no scan runs; a refused one stops here.
    if (m_mode->count() > 0 && m_mode->currentText().toStdString() != m_device.Value("mode") &&
        !m_device.SetOption("mode", m_mode->currentText().toStdString()))
        return false;
    if (m_source->count() > 0 &&
        m_source->currentText().toStdString() != m_device.Value("source") &&
        !m_device.SetOption("source", m_source->currentText().toStdString()))
        return false;
    if (m_resolution->isEnabled())
        m_device.SetOption("resolution", std::to_string(m_resolution->value()));
    const bool feeder = IsFeeder(m_source->currentText());
    m_cancelRequested = false;
    m_percent = 0;
    m_progress->setValue(0);
    m_scan->setEnabled(false);
    m_cancel->setEnabled(true);
    auto failed = std::make_shared<std::atomic<bool>>(false);
    m_thread = QThread::create([this, feeder, failed] {
        ScanResult result;
        do {
            CScanAssembler picture;
            result = m_device.Scan(picture, [this](std::int64_t done, std::int64_t total) {
                if (total > 0) m_percent = int(std::min<std::int64_t>(100, done * 100 / total));
                return !m_cancelRequested.load();
            });
            if (result == ScanResult::Done) {
                // Handed to the window's thread; the pictures arrive in scan order.
                QMetaObject::invokeMethod(
                    this,
                    [this, rgb = picture.Rgb(), w = picture.Width(), h = picture.Height()] {
                        m_pending.push_back({rgb, w, h});
                        DeliverPictures();
                    },
                    Qt::QueuedConnection);
            }
        } while (feeder && result == ScanResult::Done && !m_cancelRequested);
        m_device.EndScans();
        *failed = result == ScanResult::Failed;
    });
    connect(m_thread, &QThread::finished, this, [this, failed] { ScanFinished(*failed); });
    m_thread->start();
    return true;
}

void CAcquireDlg::CancelScan() {
    m_cancelRequested = true;
}

void CAcquireDlg::WaitForScan() {
    if (m_thread) m_thread->wait();
}

void CAcquireDlg::ScanFinished(bool failed) {
    if (!m_thread) return;
    m_thread->deleteLater();
    m_thread = nullptr;
    m_scan->setEnabled(true);
    m_cancel->setEnabled(false);
    m_progress->setValue(failed ? 0 : m_percent.load());
    if (failed && !m_cancelRequested) emit scanFailed();
    emit scanEnded();
}

void CAcquireDlg::reject() {
    CancelScan();
    WaitForScan();
    QDialog::reject();
}

} // namespace quiltara::gui
