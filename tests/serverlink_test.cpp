// The link to a database server: what the server, the database, the role or
// the connection string may set; connections that break or go quiet; servers
// that never answer. Server engine only.
#include <arpa/inet.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "dbaccess/connectionregistry.h"
#include "dbaccess/postgres/pgconnection.h"
#include "dbaccess/sessionlimits.h"
#include "support/projectdb.h"

namespace {

using Clock = std::chrono::steady_clock;
using testsupport::ProjectDbTest;

MarkerSet Markers(const std::string& well) {
    MarkerSet set;
    set.WellName = well;
    set.Records.resize(3);
    for (MarkerRecord& record : set.Records) record.MarkerName = "M";
    return set;
}

std::string Option(const strataloom::db::ServerOptions& options, const std::string& keyword) {
    for (const auto& [key, value] : options) {
        if (key == keyword) return value;
    }
    return "(unset)";
}

// A port on this machine that takes connections and then says nothing, or
// only the greeting a client needs to believe it is connected.
class SilentServer {
  public:
    explicit SilentServer(bool greet) : greet_(greet) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (greet_) thread_ = std::thread([this] { Serve(); });
    }
    ~SilentServer() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        ::close(listener_);
        if (thread_.joinable()) thread_.join();
        for (int client : clients_) ::close(client);
    }
    std::string Connect() const {
        return "host=127.0.0.1 port=" + std::to_string(port_) +
               " dbname=quiet user=quiet sslmode=disable gssencmode=disable connect_timeout=2";
    }

  private:
    // Reads the start-up message, answers that the client is in and ready,
    // then reads everything and answers nothing.
    void Serve() {
        while (!stop_) {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            clients_.push_back(client);
            char buffer[4096];
            if (::read(client, buffer, sizeof buffer) <= 0) continue;
            const char greeting[] = {
                'R', 0,   0,   0,   8,   0,   0,   0,   0,                      // authentication ok
                'S', 0,   0,   0,   22,  's', 'e', 'r', 'v', 'e', 'r', '_',     // server_version
                'v', 'e', 'r', 's', 'i', 'o', 'n', 0,   '1', '5', 0,            //
                'K', 0,   0,   0,   12,  0,   0,   0,   1,   0,   0,   0,   2,  // backend key
                'Z', 0,   0,   0,   5,   'I'};                                  // ready for query
            if (::write(client, greeting, sizeof greeting) < 0) continue;
        }
    }

    bool greet_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::vector<int> clients_;
};

class ServerLinkTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        markers = Create<IMarkerData>("IMarkerData");
        ASSERT_TRUE(markers);
    }
    std::string DatabaseName() const { return Connect().substr(Connect().rfind("dbname=") + 7); }
    // Sessions open on the test's database, the test's own excluded.
    long Backends(const std::string& database) {
        CDbManage admin(testsupport::TestServerConnect().c_str());
        const std::string sql = "select count(*) as c from pg_stat_activity where datname = '" +
                                database + "' and pid <> pg_backend_pid()";
        int count = -1;
        if (admin.GetDataFromDB(sql) != CDbManage::kRows || !admin.GetFieldValue("c", count)) {
            return -1;
        }
        return count;
    }
    bool WaitUntilNoBackends(const std::string& database) {
        for (int i = 0; i < 100; ++i) {
            if (Backends(database) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    std::size_t MarkerCount(const char* well) {
        MarkerSet set;
        return markers->LoadWellData(well, set) ? set.Records.size() : 0;
    }
    std::unique_ptr<IMarkerData> markers;
};

TEST_P(ServerLinkTest, BackslashesEndNoLiteralWhateverTheServerSets) {
    const char* attack = "x\\' OR 1=1 --";
    ASSERT_TRUE(testsupport::RunOnServer("ALTER DATABASE " + DatabaseName() +
                                         " SET standard_conforming_strings = off"));
    strataloom::db::ReleaseIdleConnections();
    for (const std::string& connect :
         {Connect(), Connect() + " options='-c standard_conforming_strings=off'"}) {
        markers->SetConnectString(connect.c_str());
        ASSERT_EQ(1, markers->SaveWellData(Markers("W1")));
        ASSERT_EQ(1, markers->SaveWellData(Markers("W2")));
        EXPECT_EQ(1, markers->DeleteWellData(attack));
        EXPECT_EQ(3u, MarkerCount("W1")) << connect;
        EXPECT_EQ(3u, MarkerCount("W2")) << connect;
        // The name is stored and found as given.
        ASSERT_EQ(1, markers->SaveWellData(Markers(attack)));
        EXPECT_EQ(3u, MarkerCount(attack));
    }
}

TEST_P(ServerLinkTest, ConnectionThatBrokeWhileIdleIsReplaced) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1")));
    ASSERT_TRUE(testsupport::RunOnServer(
        "select pg_terminate_backend(pid) from pg_stat_activity where datname = '" +
        DatabaseName() + "' and pid <> pg_backend_pid()"));
    ASSERT_TRUE(WaitUntilNoBackends(DatabaseName()));
    EXPECT_EQ(3u, MarkerCount("W1")) << StrataloomLastError();
    EXPECT_EQ(1, markers->SaveWellData(Markers("W2")));

    // The maintenance connection of a database creation heals the same way.
    auto projects = Create<IBasicProjectData>("IBasicProjectData");
    const std::string maintenance =
        testsupport::TestServerConnect() + " application_name=heal" + std::to_string(::getpid());
    ASSERT_EQ(0, projects->CreateSqlServerDatabase(DatabaseName().c_str(), maintenance.c_str()));
    ASSERT_TRUE(testsupport::RunOnServer(
        "select pg_terminate_backend(pid) from pg_stat_activity where application_name = 'heal" +
        std::to_string(::getpid()) + "'"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string created = "strataloom_healed_" + std::to_string(::getpid());
    EXPECT_EQ(1, projects->CreateSqlServerDatabase(created.c_str(), maintenance.c_str()))
        << StrataloomLastError();
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ("数据库创建成功结束！", Boxes().back().text);
    strataloom::db::ReleaseIdleConnections();
    EXPECT_TRUE(testsupport::RunOnServer("DROP DATABASE IF EXISTS " + created + " WITH (FORCE)"));
}

// A connection used moments ago is taken up without a look at its socket: a
// server that ended the session meanwhile fails the operation's first round
// trip, which then runs on a new connection, for a read alone, a read in a
// snapshot and a write alike.
TEST_P(ServerLinkTest, ConnectionThatBrokeJustAfterItsLastUseIsReplaced) {
    strataloom::db::SessionLimits limits;
    limits.quietRevive = std::chrono::hours(1);
    strataloom::db::ScopedLimits neverLooked(limits);
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1")));
    const auto endSessions = [&] {
        return testsupport::RunOnServer(
                   "select pg_terminate_backend(pid) from pg_stat_activity where datname = '" +
                   DatabaseName() + "' and pid <> pg_backend_pid()") &&
               WaitUntilNoBackends(DatabaseName());
    };
    ASSERT_TRUE(endSessions());
    EXPECT_EQ(1, markers->IsWellDataExist("W1")) << StrataloomLastError();
    ASSERT_TRUE(endSessions());
    EXPECT_EQ(3u, MarkerCount("W1")) << StrataloomLastError();
    ASSERT_TRUE(endSessions());
    EXPECT_EQ(1, markers->SaveWellData(Markers("W2"))) << StrataloomLastError();
    EXPECT_EQ(3u, MarkerCount("W2"));
}

TEST_P(ServerLinkTest, IdleConnectionsCloseSoTheDatabaseCanBeDropped) {
    strataloom::db::SessionLimits limits;
    limits.idleLifetime = std::chrono::milliseconds(1000);
    strataloom::db::ScopedLimits shortLife(limits);
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1")));
    EXPECT_EQ(1, Backends(DatabaseName()));
    EXPECT_TRUE(WaitUntilNoBackends(DatabaseName()));
    std::string error;
    EXPECT_TRUE(testsupport::RunOnServer("DROP DATABASE " + DatabaseName(), &error)) << error;
}

TEST_P(ServerLinkTest, ServerThatNeverAnswersFailsTheOperationInTime) {
    for (bool greet : {false, true}) {
        SilentServer server(greet);
        markers->SetConnectString(server.Connect().c_str());
        const auto start = Clock::now();
        EXPECT_EQ(0, markers->SaveWellData(Markers("W1")));
        const auto took = Clock::now() - start;
        EXPECT_LT(took, std::chrono::seconds(6)) << greet;
        const std::string reason = StrataloomLastError();
        EXPECT_NE(std::string::npos, reason.find(greet ? "no answer" : "timeout")) << reason;
    }
}

// Waits longer than the server may stay silent: the server answers a check
// on a connection of its own that it is at work, so the wait goes on.
constexpr auto kLongWork = std::chrono::seconds(25);

TEST_P(ServerLinkTest, SaveWhoseStatementTheServerWorksOnLongIsWaitedFor) {
    Exec(
        "CREATE FUNCTION slow_marker() RETURNS trigger LANGUAGE plpgsql AS "
        "$$ BEGIN PERFORM pg_sleep(25); RETURN NEW; END $$");
    Exec(
        "CREATE TRIGGER slow_marker BEFORE INSERT ON w_marker_data "
        "FOR EACH STATEMENT EXECUTE FUNCTION slow_marker()");
    const auto start = Clock::now();
    EXPECT_EQ(1, markers->SaveWellData(Markers("W1"))) << StrataloomLastError();
    EXPECT_GE(Clock::now() - start, kLongWork);
    EXPECT_EQ(3u, MarkerCount("W1"));
}

TEST_P(ServerLinkTest, ReadWaitingOnAnotherSessionsLockIsWaitedFor) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1")));
    std::atomic<bool> locked{false};
    std::thread holder([&] {
        PGconn* other = PQconnectdb(Connect().c_str());
        PQclear(PQexec(other, "BEGIN; LOCK TABLE w_marker_data IN ACCESS EXCLUSIVE MODE"));
        locked = true;
        PQclear(PQexec(other, "SELECT pg_sleep(25); COMMIT"));
        PQfinish(other);
    });
    while (!locked) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const auto start = Clock::now();
    EXPECT_EQ(3u, MarkerCount("W1")) << StrataloomLastError();
    EXPECT_GE(Clock::now() - start, kLongWork - std::chrono::seconds(1));
    holder.join();
}

// A server that takes the connection and then says nothing is asked whether
// it works, says nothing again, and is given up in time.
TEST_P(ServerLinkTest, ServerThatStoppedFailsWithinThirtySeconds) {
    SilentServer server(true);
    std::string connect = server.Connect();
    connect = connect.substr(0, connect.find(" connect_timeout="));
    markers->SetConnectString(connect.c_str());
    const auto start = Clock::now();
    EXPECT_EQ(0, markers->SaveWellData(Markers("W1")));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
    EXPECT_NE(std::string::npos, std::string(StrataloomLastError()).find("no answer"))
        << StrataloomLastError();
}

TEST_P(ServerLinkTest, TimeoutsHaveDefaultsThatTheConnectionStringOverrides) {
    strataloom::db::ServerOptions options;
    std::string error;
    std::chrono::seconds answerLimit{0};
    ASSERT_TRUE(strataloom::db::ServerConnectOptions("host=h dbname=d client_encoding=LATIN1",
                                                     options, error, &answerLimit));
    EXPECT_EQ("10", Option(options, "connect_timeout"));
    EXPECT_EQ(std::chrono::seconds(20), answerLimit);
    EXPECT_EQ("UTF8", Option(options, "client_encoding"));
    ASSERT_TRUE(strataloom::db::ServerConnectOptions(
        "postgresql://u@h/d?connect_timeout=45&keepalives_idle=60", options, error, &answerLimit));
    EXPECT_EQ("45", Option(options, "connect_timeout"));
    EXPECT_EQ(std::chrono::seconds(45), answerLimit);
    EXPECT_EQ("60", Option(options, "keepalives_idle"));
    EXPECT_EQ("d", Option(options, "dbname"));
    EXPECT_FALSE(strataloom::db::ServerConnectOptions("host='unclosed", options, error));
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerLinkTest, ::testing::Values(testsupport::Engine::Server),
                         testsupport::EngineName);

}  // namespace
