#include "UpdateFixture.h"

#include "update/VersionCheck.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace cva::update {
namespace {

struct STransferRun {
    STransferResult result;
    std::string content;
};

STransferRun Download(const std::string& url, CRecorder& recorder, const std::string& sha = {},
                      const SNetOptions& net = {}, std::atomic<bool>* abort = nullptr) {
    test::CTempDir dir;
    const std::string path = dir.File("setup");
    std::atomic<bool> never{false};
    STransferRequest request;
    request.m_url = url;
    request.m_userAgent = "Skyfetch";
    request.m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    request.m_sha256 = sha;
    request.m_net = net;
    recorder.m_abort = abort ? abort : &never;
    CHttpTransfer transfer(request, recorder, abort ? *abort : never);
    STransferRun run;
    run.result = transfer.Run();
    run.content = test::ReadAll(path);
    return run;
}

class UpdateServer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Running()); }
    test::CTestServer server;
};

TEST_F(UpdateServer, NewerVersionIsOfferedAndDownloadedWithProgress) {
    const std::string setup = SetupBytes(5000);
    server.Put("files/cva-2.1.0.10.AppImage", setup);
    const std::string url = server.Base() + "/files/cva-2.1.0.10.AppImage";
    server.Put("c/downloads/cva.ver", VersionText("2.1.0.10", url, Sha256Hex(setup)));

    CVersionCheck check;
    EXPECT_EQ(check.Check("Corvanta", VersionFileUrl(server.Base() + "/c", "cva"), "2.1.0.9", nullptr).m_result,
              ECheckResult::Newer);
    EXPECT_EQ(check.m_offered.m_version, "2.1.0.10");
    EXPECT_EQ(check.m_offered.m_url, url);
    struct stat st {};
    ASSERT_EQ(::stat(check.m_strFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(check.m_strVersionFilePath, check.m_strFolder + "/cva.ver");
    check.Discard();
    EXPECT_NE(::stat(check.m_strFolder.c_str(), &st), 0);

    CRecorder recorder;
    STransferRun run = Download(url, recorder, Sha256Hex(setup));
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Done) << run.result.m_errorText;
    EXPECT_TRUE(run.content == setup);
    EXPECT_TRUE(recorder.m_known);
    EXPECT_EQ(recorder.m_length, 5000u);
    ASSERT_GE(recorder.m_blocks.size(), 5u);  // blocks of at most 1 KB
    EXPECT_EQ(recorder.m_blocks.back(), 5000u);
    for (const char* status : {"Resolving name: 127.0.0.1", "Resolved name to 127.0.0.1", "Connecting to 127.0.0.1",
                               "Connected to 127.0.0.1", "Getting file information"})
        EXPECT_TRUE(recorder.Saw(status)) << status;
}

TEST_F(UpdateServer, LatestVersionAndFailedChecks) {
    server.Put("same/downloads/cva.ver", VersionText("2.1.0.9", "http://h/x"));
    server.Put("older/downloads/cva.ver", VersionText("2.1.0.9", "http://h/x"));
    server.Put("nokey/downloads/cva.ver", "Filename: \"http://h/x\"\n");
    auto check = [&](const std::string& base, const std::string& current) {
        CVersionCheck checker;
        ECheckResult result = checker.Check("Corvanta", VersionFileUrl(base, "cva"), current, nullptr).m_result;
        checker.Discard();
        return result;
    };
    EXPECT_EQ(check(server.Base() + "/same", "2.1.0.9"), ECheckResult::Latest);
    EXPECT_EQ(check(server.Base() + "/older", "2.1.0.10"), ECheckResult::Latest);
    EXPECT_EQ(check(server.Base() + "/nokey", "2.1.0.9"), ECheckResult::Failed);
    EXPECT_EQ(check(server.Base() + "/missing", "2.1.0.9"), ECheckResult::Failed);  // 404
    const std::string base = server.Base();
    server.Stop();
    EXPECT_EQ(check(base + "/same", "2.1.0.9"), ECheckResult::Failed);
}

TEST_F(UpdateServer, AnswersOtherThanAFileAndFilesThatCannotBeTrusted) {
    const std::string setup = SetupBytes(3000);
    const std::string sha = Sha256Hex(setup);
    server.Put("files/setup.deb", setup);
    CRecorder missing, unauthorised, noLength, redirected, mismatch, plain;

    STransferRun run = Download(server.Base() + "/files/nothing.deb", missing, sha);
    EXPECT_EQ(run.result.m_errorText, FormatMessage(IDS_ERR_HTTP_STATUS, "404"));
    EXPECT_TRUE(missing.m_blocks.empty());

    run = Download(server.Base() + "/status/401/files/setup.deb", unauthorised, sha);
    EXPECT_EQ(run.result.m_errorText, FormatMessage(IDS_ERR_HTTP_STATUS, "401"));

    run = Download(server.Base() + "/nolength/files/setup.deb", noLength, sha);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Done) << run.result.m_errorText;
    EXPECT_FALSE(noLength.m_known);
    EXPECT_TRUE(run.content == setup);

    run = Download(server.Base() + "/redirect/files/setup.deb", redirected, sha);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Done) << run.result.m_errorText;
    EXPECT_TRUE(redirected.Saw("Redirecting to " + server.Base() + "/files/setup.deb"));
    EXPECT_TRUE(run.content == setup);

    run = Download(server.Base() + "/files/setup.deb", mismatch, std::string(64, '0'));
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Failed);
    EXPECT_NE(run.result.m_errorText.find("SHA-256 checksum does not match"), std::string::npos);

    run = Download(server.Base() + "/files/setup.deb", plain);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Failed);
    EXPECT_NE(run.result.m_errorText.find("verified HTTPS"), std::string::npos);

    const std::string base = server.Base();
    server.Stop();
    CRecorder down;
    run = Download(base + "/files/setup.deb", down, sha);
    EXPECT_EQ(run.result.m_errorText.rfind("An error occurred connecting to the server, Error:7 (", 0), 0u)
        << run.result.m_errorText;
}

TEST_F(UpdateServer, CloseStopsASlowTransfer) {
    test::CTestServer slow(test::CTestServer::Slow(0.2));
    ASSERT_TRUE(slow.Running());
    slow.Put("files/big.bin", SetupBytes(200 * 1024));
    CRecorder recorder;
    std::atomic<bool> abort{false};
    recorder.m_abortAfter = 2048;
    const auto start = std::chrono::steady_clock::now();
    STransferRun run = Download(slow.Base() + "/slow/files/big.bin", recorder, {}, {}, &abort);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Aborted);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_LT(run.content.size(), 200u * 1024);
}

TEST(UpdateHttps, VerifiedCertificatesAreTrustedAndOthersRefused) {
    SCertificate certificate;
    ASSERT_TRUE(certificate.made);
    test::CTestServer server(test::CTestServer::Tls(certificate.cert, certificate.key));
    ASSERT_TRUE(server.Running());
    const std::string setup = SetupBytes(4000);
    server.Put("files/cva.AppImage", setup);
    const std::string url = server.Base("localhost") + "/files/cva.AppImage";
    server.Put("downloads/cva.ver", VersionText("3.0", url));
    SNetOptions trusted;
    trusted.m_caFile = certificate.cert;

    CVersionCheck check;
    check.m_net = trusted;
    EXPECT_EQ(check.Check("Corvanta", VersionFileUrl(server.Base("localhost"), "cva"), "2.1", nullptr).m_result,
              ECheckResult::Newer);
    check.Discard();

    CRecorder over, unknown;
    STransferRun run = Download(url, over, {}, trusted);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Done) << run.result.m_errorText;
    EXPECT_TRUE(run.content == setup);

    SNetOptions system;
    system.m_caFile = "/etc/ssl/certs/ca-certificates.crt";
    run = Download(url, unknown, {}, system);
    EXPECT_EQ(run.result.m_outcome, STransferResult::EOutcome::Failed);
    EXPECT_EQ(run.result.m_errorText.rfind("An error occurred connecting to the server, Error:60 (", 0), 0u)
        << run.result.m_errorText;
}

} // namespace
} // namespace cva::update
