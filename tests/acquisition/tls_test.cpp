// Downloads from an https report server: a local TLS server with a certificate the test makes
// (openssl) and serves (python3's ssl module); no internet.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "acquisition/curl_transport.h"
#include "support/cli_runner.h"
#include "support/temp_folder.h"

namespace zarvex::acquisition {
namespace {

// A self-signed certificate for one name: it is its own CA file.
void MakeCertificate(const std::filesystem::path& folder, const std::string& subject_alt_name) {
    const std::string command =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
        "-nodes -days 2 -subj /CN=zarvex-test -addext subjectAltName=" +
        subject_alt_name + " -keyout '" + (folder / "key.pem").string() + "' -out '" +
        (folder / "cert.pem").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error("openssl could not make a certificate");
    }
}

// tls_server.py on a free loopback port, ended with the object.
class TlsServer final {
public:
    TlsServer(const std::filesystem::path& cert_folder, const std::filesystem::path& root) {
        int pipe_ends[2];
        if (pipe(pipe_ends) != 0) {
            throw std::runtime_error("no pipe");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(pipe_ends[1], STDOUT_FILENO);
            close(pipe_ends[0]);
            close(pipe_ends[1]);
            const std::string script =
                std::string(ZARVEX_SOURCE_DIR) + "/tests/acquisition/tls_server.py";
            const std::string cert = (cert_folder / "cert.pem").string();
            const std::string key = (cert_folder / "key.pem").string();
            execlp("python3", "python3", script.c_str(), cert.c_str(), key.c_str(), root.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipe_ends[1]);
        FILE* out = fdopen(pipe_ends[0], "r");
        char line[32] = {};
        const bool read = out != nullptr && std::fgets(line, sizeof line, out) != nullptr;
        if (out != nullptr) {
            std::fclose(out);
        }
        port_ = read ? std::atoi(line) : 0;
        if (port_ <= 0) {
            throw std::runtime_error("the TLS server did not start (python3 missing?)");
        }
    }
    ~TlsServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    TlsServer(const TlsServer&) = delete;
    TlsServer& operator=(const TlsServer&) = delete;

    std::string Host() const { return "https://127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

constexpr const char* kPage = "EST: 20121203 11:30:00\n";

class TlsTest : public testing::Test {
protected:
    void Serve(const std::string& subject_alt_name) {
        MakeCertificate(certs_.Path(), subject_alt_name);
        std::filesystem::create_directory(root_ / "1");
        test::WriteFile(root_ / "1" / "2.php", kPage);
        server_ = std::make_unique<TlsServer>(certs_.Path(), root_.Path());
    }
    std::string CaFile() const { return (certs_ / "cert.pem").string(); }

    FetchResult Fetch(const std::string& ca_file, std::string& body) {
        CurlTransport transport({}, nullptr, ca_file);
        return transport.FetchToBuffer(server_->Host() + "/1/2.php", body, 1000);
    }

    test::TempFolder certs_;
    test::TempFolder root_;
    std::unique_ptr<TlsServer> server_;
};

TEST_F(TlsTest, CertificateVerifiesWithItsCaFile) {
    Serve("IP:127.0.0.1");
    std::string body;
    const FetchResult result = Fetch(CaFile(), body);
    ASSERT_EQ(result.count, static_cast<std::int64_t>(std::string(kPage).size())) << result.failure;
    EXPECT_STREQ(body.c_str(), kPage);
}

TEST_F(TlsTest, SelfSignedCertificateIsRefusedByTheSystemStore) {
    Serve("IP:127.0.0.1");
    std::string body;
    const FetchResult result = Fetch("", body);
    EXPECT_EQ(result.count, -1);
    EXPECT_NE(result.failure.find("certificate"), std::string::npos) << result.failure;
}

TEST_F(TlsTest, CertificateForAnotherNameIsRefused) {
    Serve("DNS:reports.example");
    std::string body;
    const FetchResult result = Fetch(CaFile(), body);
    EXPECT_EQ(result.count, -1);
    EXPECT_NE(result.failure.find("127.0.0.1"), std::string::npos) << result.failure;
}

// The command line: --ca-file, then $ZARVEX_CA_FILE; a failure gives libcurl's reason and
// never a retry over plain HTTP.
TEST_F(TlsTest, CommandLineTakesTheCaFileAndNamesTheRefusal) {
    Serve("IP:127.0.0.1");
    test::TempProgramFolder home;
    const std::string folder = home.Path().string();
    unsetenv("ZARVEX_CA_FILE");
    const auto refused =
        test::RunCli({"--home", folder, "--host", server_->Host(), "exchange-time"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "-1\n");
    const auto day = test::RunCli(
        {"--home", folder, "--host", server_->Host(), "download-day", "--date", "20121203"});
    EXPECT_EQ(day.status, 1);
    EXPECT_NE(day.err.find("no report listing from " + server_->Host() +
                           "/toster/ (SSL certificate problem"),
              std::string::npos)
        << day.err;
    const auto given = test::RunCli(
        {"--home", folder, "--host", server_->Host(), "--ca-file", CaFile(), "exchange-time"});
    EXPECT_EQ(given.status, 0) << given.err;
    EXPECT_EQ(given.out, "20121203 11:30:00\n");
    setenv("ZARVEX_CA_FILE", CaFile().c_str(), 1);
    const auto from_environment =
        test::RunCli({"--home", folder, "--host", server_->Host(), "exchange-time"});
    unsetenv("ZARVEX_CA_FILE");
    EXPECT_EQ(from_environment.out, "20121203 11:30:00\n") << from_environment.err;
}

}  // namespace
}  // namespace zarvex::acquisition
