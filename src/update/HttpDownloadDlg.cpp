#include "update/HttpDownloadDlg.h"

#include "update/AnimateCtrl.h"
#include "update/DownloadTexts.h"
#include "update/ProgressMeter.h"
#include "update/XHTMLStatic.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

namespace cva::update {

namespace {

uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The offered URL as the transfer will use it: as it is when it parses, else with
// "http://" in front; empty when neither parses.
std::string UsableUrl(const std::string& url) {
    for (const std::string& candidate : {url, "http://" + url}) {
        CURLU* parsed = curl_url();
        const bool ok = parsed && curl_url_set(parsed, CURLUPART_URL, candidate.c_str(), 0) == CURLUE_OK;
        curl_url_cleanup(parsed);
        if (ok) return candidate;
    }
    return {};
}

} // namespace

// Runs on the download thread: turns what the transfer reports into display operations
// queued to the dialog.
class CHttpDownloadDlg::CListener : public ITransferListener {
public:
    CListener(CHttpDownloadDlg* dialog, std::string offered) : m_dialog(dialog), m_strOffered(std::move(offered)) {}

    void OnStatus(int textId, const std::string& argument) override {
        Post([textId, argument](CHttpDownloadDlg* d) { d->ShowStatus(textId, argument); });
    }
    void OnReceiving(bool known, uint64_t length) override {
        m_meter.Start(NowMs(), known, length);
        Post([markup = RetrievingMarkup(m_strOffered)](CHttpDownloadDlg* d) { d->ShowStatus(markup); });
    }
    void OnBlock(uint64_t total) override {
        const SProgressUpdate update = m_meter.Refresh(NowMs(), total);
        const bool known = m_meter.LengthKnown();
        const uint64_t length = m_meter.Length();
        if (update.m_percent || update.m_rate)
            Post([update, known, length, total](CHttpDownloadDlg* d) {
                if (update.m_percent) d->ShowPercent(*update.m_percent);
                if (update.m_rate) d->ShowRate(*update.m_rate);
                if (update.m_secondsLeft && known) d->ShowTimeLeft(*update.m_secondsLeft, total, length);
            });
    }

private:
    template <typename F>
    void Post(F call) {
        CHttpDownloadDlg* dialog = m_dialog;
        // Once Close was pressed the status line keeps saying so.
        QMetaObject::invokeMethod(
            dialog, [dialog, call] { if (dialog->m_state == EState::Downloading) call(dialog); }, Qt::QueuedConnection);
    }

    CHttpDownloadDlg* m_dialog;
    std::string m_strOffered;
    CProgressMeter m_meter;
};

CHttpDownloadDlg::CHttpDownloadDlg(CVersionCheck& checker, SUpdateRequest request, QWidget* parent)
    : QDialog(parent), m_checker(checker), m_request(std::move(request)) {
    setObjectName(QStringLiteral("httpDownloadDlg124"));
    setWindowTitle(QStringLiteral("Update ") + QString::fromStdString(m_request.m_strProduct));
    setMinimumWidth(460);

    m_pAnimate = new CAnimateCtrl(this);
    m_pAnimate->setObjectName(QStringLiteral("anim1000"));
    m_pStatus = new CXHTMLStatic(this);
    m_pStatus->setObjectName(QStringLiteral("status1001"));
    m_pFileStatus = MakeLabel(this, "static1002", QStringLiteral("Please wait..."));
    m_pFileStatus->setWordWrap(true);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progress1003"));
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_pProgress->setTextVisible(false);
    m_pTimeLeftLabel = MakeLabel(this, "static1015", QStringLiteral("Estimated time left:"));
    m_pTimeLeft = MakeLabel(this, "static1004", QStringLiteral("(unknown)"));
    m_pRateLabel = MakeLabel(this, "static1016", QStringLiteral("Transfer rate:"));
    m_pRate = MakeLabel(this, "static1005", QStringLiteral("(unknown)"));
    m_pClose = new QPushButton(QStringLiteral("Close"), this);
    m_pClose->setObjectName(QStringLiteral("close2"));
    m_pClose->setAutoDefault(false);
    connect(m_pClose, &QPushButton::clicked, this, &CHttpDownloadDlg::reject);

    auto* lines = new QVBoxLayout;
    lines->addWidget(m_pStatus);
    lines->addWidget(m_pFileStatus);
    auto* top = new QHBoxLayout;
    top->addWidget(m_pAnimate, 0, Qt::AlignTop);
    top->addLayout(lines, 1);
    auto* figures = new QGridLayout;
    figures->addWidget(m_pTimeLeftLabel, 0, 0);
    figures->addWidget(m_pTimeLeft, 0, 1);
    figures->addWidget(m_pRateLabel, 1, 0);
    figures->addWidget(m_pRate, 1, 1);
    figures->setColumnStretch(1, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pProgress);
    layout->addLayout(figures);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

CHttpDownloadDlg::~CHttpDownloadDlg() {
    m_abort = true;
    JoinWorker();
}

void CHttpDownloadDlg::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void CHttpDownloadDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_state == EState::Idle) Start();
}

void CHttpDownloadDlg::Start() {
    if (m_state != EState::Idle) return;
    m_state = EState::Connecting;
    ShowStatus("Connecting to " + UrlHost(m_request.m_strVersionFileUrl) + "...");
    m_pAnimate->Play();
    // The check runs beside the dialog so that it keeps painting and Close works while
    // a slow or silent server is asked.
    m_worker = std::thread([this] {
        const SCheckOutcome outcome = m_checker.Check(m_request.m_strProduct, m_request.m_strVersionFileUrl,
                                                      m_request.m_strVersion, &m_abort);
        QMetaObject::invokeMethod(this, [this, outcome] { OnCheckDone(outcome); }, Qt::QueuedConnection);
    });
}

void CHttpDownloadDlg::OnCheckDone(const SCheckOutcome& outcome) {
    JoinWorker();
    if (m_abort) {
        m_checker.Discard();
        Finish(false);
        return;
    }
    if (outcome.m_result == ECheckResult::Failed) {
        m_checker.Discard();
        if (!outcome.m_message.empty()) Message(outcome.m_message);
        m_pStatus->SetMarkup(CheckFailedMarkup(m_request.m_strWebsite));
        m_pFileStatus->setText(QStringLiteral("Please check your internet connection/firewall."));
        for (QWidget* widget : std::initializer_list<QWidget*>{m_pTimeLeftLabel, m_pRateLabel, m_pProgress, m_pTimeLeft, m_pRate})
            widget->hide();
        m_pAnimate->Stop();
        m_state = EState::Failed;
        return;
    }
    if (outcome.m_result == ECheckResult::Latest) {
        m_checker.Discard();
        ShowStatus(LatestVersionMarkup(m_request.m_strVersion));
        m_pFileStatus->setText(QStringLiteral("No update needed."));
        m_pTimeLeftLabel->hide();
        m_pRateLabel->hide();
        m_pProgress->setValue(100);
        m_pTimeLeft->hide();
        m_pRate->hide();
        m_pAnimate->Stop();
        m_state = EState::Latest;
        return;
    }
    StartDownload();
}

void CHttpDownloadDlg::StartDownload() {
    const std::string url = UsableUrl(m_checker.m_offered.m_url);
    if (url.empty()) {
        m_checker.Discard();
        Finish(false);
        return;
    }
    const std::string name = SafeFileName(url, m_request.m_strShortName + "-setup");
    m_strTarget = m_checker.m_strFolder + "/" + name;
    // The check's folder is new and ours alone; O_EXCL still refuses any file already there.
    const int fd = ::open(m_strTarget.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        m_checker.Discard();
        Message(FormatMessage(IDS_ERR_OPEN_FILE, std::to_string(error) + " (" + std::strerror(error) + ")"));
        Finish(false);
        return;
    }
    m_pFileStatus->setText(QString::fromStdString(FormatMessage(IDS_FILE_FROM_SERVER, name, UrlHost(url))));
    m_state = EState::Downloading;

    STransferRequest request;
    request.m_url = url;
    request.m_userAgent = "Skyfetch";
    request.m_fd = fd;
    request.m_sha256 = m_checker.m_offered.m_sha256;
    request.m_net = m_checker.m_net;
    m_worker = std::thread([this, request = std::move(request)]() mutable {
        CListener listener(this, m_checker.m_offered.m_version);
        CHttpTransfer transfer(std::move(request), listener, m_abort);
        const STransferResult result = transfer.Run();
        QMetaObject::invokeMethod(this, [this, result] { OnDownloadDone(result); }, Qt::QueuedConnection);
    });
}

void CHttpDownloadDlg::OnDownloadDone(const STransferResult& result) {
    JoinWorker();
    m_pAnimate->Stop();
    if (result.m_outcome == STransferResult::EOutcome::Done) {
        m_checker.m_strSetupPath = m_strTarget;
        Finish(true);
        return;
    }
    // Nothing half-arrived or refused is left where it could be started.
    m_checker.Discard();
    if (result.m_outcome == STransferResult::EOutcome::Failed) Message(result.m_errorText);
    Finish(false);
}

void CHttpDownloadDlg::Finish(bool ok) {
    m_state = EState::Finished;
    if (ok) accept();
    else QDialog::reject();
}

void CHttpDownloadDlg::reject() {
    switch (m_state) {
    case EState::Connecting:
    case EState::Downloading:
        // The worker ends at its next block or poll and the dialog ends with it.
        m_abort = true;
        m_pClose->setEnabled(false);
        if (m_state == EState::Downloading) ShowStatus(IDS_ABORTING, {});
        m_state = EState::Aborting;
        return;
    case EState::Aborting: return;
    default: Finish(false); return;
    }
}

void CHttpDownloadDlg::Message(const std::string& text) {
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    QMessageBox::warning(this, QString::fromStdString(m_request.m_strProduct), QString::fromStdString(text));
}

void CHttpDownloadDlg::ShowPercent(int percent) {
    m_pProgress->setValue(percent);
    setWindowTitle(QString::fromStdString(FormatTitle(m_request.m_strProduct, percent)));
}

void CHttpDownloadDlg::ShowTimeLeft(uint64_t secondsLeft, uint64_t copied, uint64_t total) {
    m_pTimeLeft->setText(QString::fromStdString(FormatTimeLeft(secondsLeft, copied, total)));
}

void CHttpDownloadDlg::ShowStatus(int textId, const std::string& argument) {
    ShowStatus(FormatMessage(textId, argument));
}

void CHttpDownloadDlg::ShowStatus(const std::string& markup) { m_pStatus->SetMarkup("<b>" + markup + "</b>"); }

void CHttpDownloadDlg::ShowRate(double kilobytesPerSecond) {
    m_pRate->setText(QString::fromStdString(FormatRate(kilobytesPerSecond)));
}

} // namespace cva::update
