#pragma once

#include "update/HttpTransfer.h"
#include "update/VersionCheck.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace cva::update {

class CAnimateCtrl;
class CXHTMLStatic;

// What the caller asks of one update run.
struct SUpdateRequest {
    std::string m_strVersion;         // the running version, "2.1.5.3"
    std::string m_strProduct;         // "Corvanta": title and user agent
    std::string m_strShortName;       // "cva": names the version file
    std::string m_strVersionFileUrl;  // where the version file is
    std::string m_strWebsite;         // the link of the notice when the server cannot be asked
};

// The update dialog: asks the server for the version file, tells whether there is a
// newer version and, when there is, downloads it with status, progress, rate and time
// left. It ends with OK only when the new file has arrived completely and was accepted;
// in every other case it ends with Cancel and no partial file is left behind.
class CHttpDownloadDlg : public QDialog {
    Q_OBJECT
public:
    enum class EState { Idle, Connecting, Failed, Latest, Downloading, Aborting, Finished };

    CHttpDownloadDlg(CVersionCheck& checker, SUpdateRequest request, QWidget* parent = nullptr);
    ~CHttpDownloadDlg() override;

    // The initialisation: title, status line, then the version check on a worker thread.
    // Showing the dialog calls it once; tests call it themselves.
    void Start();
    EState State() const { return m_state; }
    // Where message boxes go instead of a QMessageBox (tests).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }

    // The display operations, on the dialog's own thread.
    void ShowPercent(int percent);
    void ShowTimeLeft(uint64_t secondsLeft, uint64_t copied, uint64_t total);
    void ShowStatus(int textId, const std::string& argument);
    // The status line becomes the markup in bold.
    void ShowStatus(const std::string& markup);
    void ShowRate(double kilobytesPerSecond);

    // Close: ends a dialog that has reached its outcome; otherwise stops what runs, which
    // then ends the dialog.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    class CListener;

    void OnCheckDone(const SCheckOutcome& outcome);
    void StartDownload();
    void OnDownloadDone(const STransferResult& result);
    void Message(const std::string& text);
    void Finish(bool ok);
    void JoinWorker();

    CVersionCheck& m_checker;
    SUpdateRequest m_request;
    EState m_state = EState::Idle;
    std::atomic<bool> m_abort{false};
    std::thread m_worker;
    std::function<void(const std::string&)> m_messageSink;
    std::string m_strTarget;  // the file being downloaded

    CAnimateCtrl* m_pAnimate = nullptr;          // 1000
    CXHTMLStatic* m_pStatus = nullptr;           // 1001
    QLabel* m_pFileStatus = nullptr;             // 1002
    QProgressBar* m_pProgress = nullptr;         // 1003
    QLabel* m_pTimeLeftLabel = nullptr;          // 1015
    QLabel* m_pTimeLeft = nullptr;               // 1004
    QLabel* m_pRateLabel = nullptr;              // 1016
    QLabel* m_pRate = nullptr;                   // 1005
    QPushButton* m_pClose = nullptr;             // 2
};

} // namespace cva::update
