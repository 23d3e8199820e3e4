// The pipeline: statements sent to the server without waiting for each
// answer, the answers read back in order, every wait bounded by the
// connection's deadline and state.
#include <libpq-fe.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>

#include "dbaccess/failure.h"
#include "dbaccess/postgres/pgshared.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

using namespace pg;

namespace {

// How often a wait for the server's answer wakes to look at its deadline.
constexpr auto kTick = std::chrono::milliseconds(100);
// What woke a wait.
constexpr std::uint32_t kSocketReady = 0;
constexpr std::uint32_t kTickStruck = 1;

bool Watch(int waiter, int fd, std::uint32_t what) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = what;
    return ::epoll_ctl(waiter, EPOLL_CTL_ADD, fd, &event) == 0;
}

}  // namespace

// The waiter of a new connection: its socket and a timer that strikes every
// tick, watched together.
void PgConnection::PrepareWaiter() {
    watchedSocket_ = -1;
    waiter_.Reset(::epoll_create1(EPOLL_CLOEXEC));
    if (tick_.Get() < 0) {
        tick_.Reset(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
        itimerspec every{};
        every.it_interval.tv_nsec = std::chrono::nanoseconds(kTick).count();
        every.it_value = every.it_interval;
        if (tick_.Get() >= 0 && ::timerfd_settime(tick_.Get(), 0, &every, nullptr) != 0) {
            tick_.Reset(-1);
        }
    }
    const int socket = PQsocket(handle_.get());
    if (waiter_.Get() < 0 || tick_.Get() < 0 || socket < 0 ||
        !Watch(waiter_.Get(), tick_.Get(), kTickStruck) ||
        !Watch(waiter_.Get(), socket, kSocketReady)) {
        waiter_.Reset(-1);
        return;
    }
    watchedSocket_ = socket;
}

// A wait for an answer has no timeout of its own: the connection's timer,
// armed once, wakes it every tick to look at the deadline. (A timeout per
// wait has the system arm and disarm a timer for every answer, which costs a
// small read about as much client time as all the module's own work on it.)
// Other waits, and every wait of a connection without that timer, are bounded
// by timeouts of their own.
bool PgConnection::WaitForSocket(short events, Clock::time_point deadline) {
    const int socket = PQsocket(handle_.get());
    if (socket < 0) return true;  // the next read reports the failure
    const bool ticking = events == POLLIN && waiter_.Get() >= 0 && socket == watchedSocket_;
    pollfd watched{socket, events, 0};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - CoarseNow()).count();
        if (left <= 0) return false;
        if (!ticking) {
            const int ready =
                ::poll(&watched, 1, static_cast<int>(std::min<long long>(left, 1000)));
            if (ready > 0) return true;
            if (ready < 0 && errno != EINTR) return true;  // the next read reports the failure
            continue;
        }
        epoll_event woke[2];
        const int count = ::epoll_wait(waiter_.Get(), woke, 2, -1);
        if (count < 0 && errno != EINTR) return true;  // the next read reports the failure
        bool answered = false;
        for (int i = 0; i < count; ++i) {
            if (woke[i].data.u32 == kSocketReady) {
                answered = true;
                continue;
            }
            std::uint64_t strikes = 0;
            if (::read(tick_.Get(), &strikes, sizeof strikes) < 0 && errno != EAGAIN) {
                // The timer failed: the waits from here on have timeouts of their own.
                waiter_.Reset(-1);
                watchedSocket_ = -1;
                return true;
            }
        }
        if (answered) return true;
    }
}

bool PgConnection::Silence() {
    Abandon("no answer from the server for " + std::to_string(answerLimit_.count()) + " s");
    return false;
}

// Waits for the socket. A server silent for the answer limit is asked on a
// connection of its own whether it is still at work on this connection's
// statement (running it, or waiting for a lock another session holds): then
// the wait goes on; a server that does not answer that either is given up.
// A timeout the caller's connection string sets is kept to the letter.
bool PgConnection::AwaitSocket(short events, Clock::time_point& deadline) {
    for (;;) {
        if (WaitForSocket(events, deadline)) return true;
        if (!handle_ || PQstatus(handle_.get()) != CONNECTION_OK) return Silence();
        if (callerTimeout_ || !ServerWorking()) return Silence();
        deadline = CoarseNow() + answerLimit_;
    }
}

bool PgConnection::ServerWorking() const {
    const int backend = PQbackendPID(handle_.get());
    if (backend <= 0) return false;
    ServerOptions options = options_;
    const auto checkLimit =
        std::min<std::chrono::seconds>(Limits().connectTimeout, std::chrono::seconds(5));
    for (auto& [key, value] : options) {
        if (key == "connect_timeout")
            value = std::to_string(std::max<long long>(checkLimit.count(), 2));
    }
    PgConn check(ConnectWith(options));
    if (!check || PQstatus(check.get()) != CONNECTION_OK) return false;
    const std::string pid = std::to_string(backend);
    const char* values[] = {pid.c_str()};
    PGconn* c = check.get();
    if (PQsendQueryParams(c, "SELECT state FROM pg_catalog.pg_stat_activity WHERE pid = $1", 1,
                          nullptr, values, nullptr, nullptr, 0) != 1) {
        return false;
    }
    // The check is bounded too: a server that took the connection may still stall.
    const auto until = Clock::now() + checkLimit;
    pollfd watched{PQsocket(c), POLLIN, 0};
    while (PQisBusy(c)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || ::poll(&watched, 1, static_cast<int>(left)) < 0 ||
            PQconsumeInput(c) == 0) {
            return false;
        }
    }
    PgResult state(PQgetResult(c));
    const bool active = state && PQresultStatus(state.get()) == PGRES_TUPLES_OK &&
                        PQntuples(state.get()) == 1 &&
                        std::strcmp(PQgetvalue(state.get(), 0, 0), "active") == 0;
    while (PgResult(PQgetResult(c))) {
    }
    return active;
}

// Hands everything sent to the server; reads what it says meanwhile, so that
// neither side waits for the other with full buffers.
bool PgConnection::Flush(Clock::time_point deadline) {
    PGconn* c = handle_.get();
    for (;;) {
        const int flushed = PQflush(c);
        if (flushed == 0) return true;
        if (flushed < 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
        if (!AwaitSocket(POLLOUT | POLLIN, deadline)) return false;
        if (PQconsumeInput(c) == 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
    }
}

// Waits for the next result of the pipeline; null at the end of a statement's results.
namespace pg {

bool AwaitResult(PGconn* c, PgResult& next, const std::function<bool()>& wait) {
    while (PQisBusy(c)) {
        if (!wait()) return false;
        if (PQconsumeInput(c) == 0) return false;
    }
    next.reset(PQgetResult(c));
    return true;
}

// A copy no statement of the round trip asked for: the connection's answers
// are no longer the ones it awaits, and reading on would never end.
bool IsCopyState(ExecStatusType status) {
    return status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH;
}

}  // namespace pg

// Waits for the next result of the pipeline, as AwaitResult does; each
// piece of the answer that arrives gives the server the answer limit anew.
bool PgConnection::NextResult(Result& next, Clock::time_point& deadline) {
    PGconn* c = handle_.get();
    while (PQisBusy(c)) {
        if (!AwaitSocket(POLLIN, deadline)) return false;
        deadline = CoarseNow() + answerLimit_;
        if (PQconsumeInput(c) == 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
    }
    next.reset(PQgetResult(c));
    return true;
}

// Whether the link broke under the answers (a server that ended the
// session, a closed socket): the round trip may then run again on a new
// connection, which the connection given up here would prevent.
bool PgConnection::LinkBroke() {
    if (PQstatus(handle_.get()) != CONNECTION_BAD) return false;
    SetError(PQerrorMessage(handle_.get()));
    return true;
}

bool PgConnection::ReadAnswer(Result& answer, Clock::time_point& deadline) {
    PGconn* c = handle_.get();
    answer.reset();
    for (;;) {
        Result next;
        if (!NextResult(next, deadline)) {
            answer.reset();
            return false;
        }
        if (!next) return true;
        const ExecStatusType status = PQresultStatus(next.get());
        if (IsCopyState(status) || PQstatus(c) != CONNECTION_OK) {
            answer.reset();
            if (LinkBroke()) return false;
            return OutOfStep("the server answered with a copy no statement asked for");
        }
        if (status == PGRES_PIPELINE_ABORTED) {
            answer.reset();
            continue;
        }
        // The first failure is the answer; else the last result.
        const ExecStatusType kept = answer ? PQresultStatus(answer.get()) : PGRES_COMMAND_OK;
        if (!answer || kept == PGRES_COMMAND_OK || kept == PGRES_TUPLES_OK) {
            answer = std::move(next);
        }
    }
}

bool PgConnection::ReadSync(Clock::time_point& deadline) {
    PGconn* c = handle_.get();
    bool endOfResults = false;
    for (;;) {
        Result next;
        if (!NextResult(next, deadline)) return false;
        if (next && PQresultStatus(next.get()) == PGRES_PIPELINE_SYNC) return true;
        if (LinkBroke()) return false;
        // Two ends of results in a row with nothing to wait for: the end of
        // the segment will not come.
        if (!next && endOfResults) return OutOfStep("the server's answers ended before their end");
        if (next && (IsCopyState(PQresultStatus(next.get())) || PQstatus(c) != CONNECTION_OK)) {
            return OutOfStep("the server answered with a copy no statement asked for");
        }
        endOfResults = !next;
    }
}

// Closes a connection whose answers no longer follow what was sent.
bool PgConnection::OutOfStep(const std::string& reason) {
    Abandon(reason);
    return false;
}

bool PgConnection::ReadDeferred(Clock::time_point& deadline) {
    while (deferred_ > 0) {
        if (!ReadSync(deadline)) return false;
        --deferred_;
    }
    return true;
}

namespace {

// The parameters of a statement as the client library takes them: in place
// for the few most statements have, on the heap beyond.
class ParameterArrays {
  public:
    explicit ParameterArrays(std::size_t count) : count_(count) {
        if (count > kInPlace) {
            heapValues_.resize(count);
            heapNumbers_.resize(2 * count);
        }
    }
    const char** Values() { return count_ > kInPlace ? heapValues_.data() : values_; }
    int* Lengths() { return count_ > kInPlace ? heapNumbers_.data() : numbers_; }
    int* Formats() { return Lengths() + (count_ > kInPlace ? count_ : kInPlace); }

  private:
    static constexpr std::size_t kInPlace = 16;
    std::size_t count_;
    const char* values_[kInPlace];
    int numbers_[2 * kInPlace];
    std::vector<const char*> heapValues_;
    std::vector<int> heapNumbers_;
};

}  // namespace

bool PgConnection::Send(const Request& request, std::vector<Expect>& expected, int answer) {
    PGconn* c = handle_.get();
    const std::vector<std::string>& parameters = request.Values();
    const std::size_t count = parameters.size();
    ParameterArrays arrays(count);
    const char** values = arrays.Values();
    int* lengths = arrays.Lengths();
    int* formats = arrays.Formats();
    for (std::size_t p = 0; p < count; ++p) {
        const int format = p < request.formats.size() ? request.formats[p] : 0;
        values[p] = format == kNullParameter ? nullptr : parameters[p].data();
        lengths[p] = static_cast<int>(parameters[p].size());
        formats[p] = format == 1 ? 1 : 0;
    }
    const int resultFormat = request.binaryResult ? 1 : 0;
    int sent = 0;
    if (!request.prepared) {
        sent = PQsendQueryParams(c, request.Text().c_str(), static_cast<int>(count), nullptr,
                                 values, lengths, formats, resultFormat);
    } else {
        Prepared& prepared = prepared_[request.Text()];
        prepared.lastUse = ++uses_;
        if (prepared.name.empty()) {
            prepared.name = "strataloom_" + std::to_string(uses_);
            if (PQsendPrepare(c, prepared.name.c_str(), request.Text().c_str(), 0, nullptr) != 1) {
                prepared_.erase(request.Text());
                return false;
            }
            expected.push_back(Expect{kNoAnswer, &request.Text()});
        }
        sent = PQsendQueryPrepared(c, prepared.name.c_str(), static_cast<int>(count), values,
                                   lengths, formats, resultFormat);
    }
    if (sent != 1) return false;
    expected.push_back(Expect{answer, nullptr});
    if (request.syncAfter) {
        if (PQpipelineSync(c) != 1) return false;
        expected.push_back(Expect{kSync, nullptr});
    }
    return true;
}

void PgConnection::TrimPrepared() {
    while (prepared_.size() > kPreparedLimit) {
        auto oldest = prepared_.begin();
        for (auto it = prepared_.begin(); it != prepared_.end(); ++it) {
            if (it->second.lastUse < oldest->second.lastUse) oldest = it;
        }
        if (oldest->second.confirmed) unprepare_.push_back(oldest->second.name);
        prepared_.erase(oldest);
    }
}

void PgConnection::RoundTrip(const std::vector<Request>& requests, std::vector<Result>& answers) {
    answers.clear();
    answers.resize(requests.size());
    RoundTrip(requests.data(), requests.size(), answers.data());
}

namespace {

// The list of answers a round trip expects, kept by the connection between
// round trips so that none allocates it; a round trip run inside another (a
// rollback after a failure) makes a list of its own.
template <class T>
class LentList {
  public:
    explicit LentList(std::vector<T>& spare) : spare_(spare) {
        list_.swap(spare_);
        list_.clear();
    }
    ~LentList() {
        if (spare_.capacity() < list_.capacity()) spare_.swap(list_);
    }
    LentList(const LentList&) = delete;
    LentList& operator=(const LentList&) = delete;
    std::vector<T>& List() { return list_; }

  private:
    std::vector<T>& spare_;
    std::vector<T> list_;
};

}  // namespace

bool PgConnection::StandsAlone(const Request* requests, std::size_t count) const {
    if (count != 1 || requests[0].syncAfter) return false;
    if (!requests[0].prepared) return true;
    // A statement still to be prepared goes with its PREPARE, in a pipeline.
    auto found = prepared_.find(requests[0].Text());
    return found != prepared_.end() && found->second.confirmed;
}

void PgConnection::RoundTrip(const Request* requests, std::size_t count, Result* answers) {
    CountRoundTrip();
    for (std::size_t i = 0; i < count; ++i) answers[i].reset();
    const bool first = fresh_;
    fresh_ = false;
    TrimPrepared();
    for (int attempt = 0;; ++attempt) {
        if (!handle_) return;
        PGconn* c = handle_.get();
        const bool idle = !inTransaction_;
        // Statements kept prepared no more, each in a segment of its own (it
        // may fail in an aborted transaction, and nothing else with it); then
        // the deferred BEGIN, in the segment of the first statement.
        std::vector<Request> before;
        for (const std::string& name : unprepare_) {
            Request request;
            request.sql = "DEALLOCATE " + name;
            request.syncAfter = true;
            before.push_back(std::move(request));
        }
        unprepare_.clear();
        // The writers' queues, in a segment of their own: the transaction
        // begun after them takes its snapshot once they are held.
        const std::vector<long long> locks = std::move(pendingLocks_);
        pendingLocks_.clear();
        std::string lock;
        if (!locks.empty()) {
            lock = LockStatement(locks);
            Request request;
            request.sql = lock;
            request.syncAfter = true;
            before.push_back(std::move(request));
        }
        const std::string begin = std::move(pendingBegin_);
        pendingBegin_.clear();
        if (!begin.empty()) {
            Request request;
            request.sql = begin;
            before.push_back(std::move(request));
            inTransaction_ = true;
        }
        // The statements queued by the write go before the round trip's own.
        std::vector<Queued> queued = std::move(queued_);
        queued_.clear();
        LentList<Expect> lent(expectedSpare_);
        std::vector<Expect>& expected = lent.List();
        // A statement alone, with nothing before it, goes as the client
        // library sends one outside pipeline mode: no end of segment to send
        // and read back.
        const bool alone = before.empty() && queued.empty() && deferred_ == 0 &&
                           StandsAlone(requests, count) &&
                           (PQpipelineStatus(c) == PQ_PIPELINE_OFF || PQexitPipelineMode(c) == 1);
        bool sent = alone || PQpipelineStatus(c) == PQ_PIPELINE_ON || PQenterPipelineMode(c) == 1;
        for (std::size_t i = 0; sent && i < before.size(); ++i) {
            const bool isBegin = !begin.empty() && i + 1 == before.size();
            const bool isLock = !lock.empty() && before[i].sql == lock;
            sent = Send(before[i], expected,
                        isBegin  ? kBeginAnswer
                        : isLock ? kLockAnswer
                                 : kNoAnswer);
        }
        for (std::size_t i = 0; sent && i < queued.size(); ++i) {
            sent = Send(queued[i].request, expected, kQueuedAnswer);
        }
        for (std::size_t i = 0; sent && i < count; ++i) {
            sent = Send(requests[i], expected, static_cast<int>(i));
        }
        if (sent && !alone && (expected.empty() || expected.back().answer != kSync)) {
            sent = PQpipelineSync(c) == 1;
            expected.push_back(Expect{kSync, nullptr});
        }
        if (!sent) SetError(PQerrorMessage(c));
        auto deadline = CoarseNow() + answerLimit_;
        bool read = sent && Flush(deadline) && ReadDeferred(deadline);
        Result beginResult;
        Result lockResult;
        std::vector<Result> queuedAnswers;
        Result refused;  // a PREPARE's failure: the answer of its execution
        for (std::size_t e = 0; read && e < expected.size(); ++e) {
            const Expect& expect = expected[e];
            if (expect.answer == kSync) {
                read = ReadSync(deadline);
                continue;
            }
            Result answer;
            read = ReadAnswer(answer, deadline);
            if (!expect.prepared && refused) {
                if (!answer) answer = std::move(refused);
                refused.reset();
            }
            if (expect.answer >= 0) {
                answers[static_cast<std::size_t>(expect.answer)] = std::move(answer);
            } else if (expect.answer == kBeginAnswer) {
                beginResult = std::move(answer);
            } else if (expect.answer == kLockAnswer) {
                lockResult = std::move(answer);
            } else if (expect.answer == kQueuedAnswer) {
                queuedAnswers.push_back(std::move(answer));
            } else if (expect.prepared) {
                // A statement the server did not prepare is prepared anew next time.
                const bool accepted = answer && PQresultStatus(answer.get()) == PGRES_COMMAND_OK;
                auto found = prepared_.find(*expect.prepared);
                if (found != prepared_.end()) {
                    if (accepted) {
                        found->second.confirmed = true;
                    } else {
                        prepared_.erase(found);
                    }
                }
                if (!accepted) refused = std::move(answer);
            }
        }
        // A kept connection that broke while idle fails the first request of
        // the next operation: nothing of the operation has run yet, so it
        // runs on a new connection instead.
        const bool broken = handle_ && PQstatus(c) == CONNECTION_BAD;
        if (broken && first && attempt == 0 && idle) {
            if (!Connect()) return;
            pendingBegin_ = begin;
            pendingLocks_ = locks;
            queued_ = std::move(queued);
            for (std::size_t i = 0; i < count; ++i) answers[i].reset();
            continue;
        }
        if (handle_ && (broken || !read)) Abandon(LastError());
        if (!read) return;
        lastHeard_ = deadline - answerLimit_;  // the deadline runs from the last answer
        if (!lock.empty()) {
            if (!Succeeded(lockResult)) {
                for (std::size_t i = 0; i < count; ++i) answers[i].reset();
                LockFailed(lock, locks);
                return;
            }
            writerKeys_.insert(writerKeys_.end(), locks.begin(), locks.end());
        }
        if (!begin.empty() && !Succeeded(beginResult)) {
            BeginFailed(begin);
            return;
        }
        CheckQueued(queuedAnswers, queued);
        return;
    }
}

// The transaction sent with a round trip did not begin: its statements did
// not run. A write's scope then fails every write until it ends.
void PgConnection::BeginFailed(const std::string& begin) {
    inTransaction_ = false;
    if (begin != BeginStatement()) return;
    const std::string error = LastError();
    ReleaseWriterLock();
    BreakScope();
    SetError(error);
}

void PgConnection::LockFailed(const std::string& lock, const std::vector<long long>& keys) {
    const std::string error = LastError();
    NoteFailure(FailureText(error, Describe(), lock));
    // The locks taken before the one that failed stay held: all are let go.
    writerKeys_.insert(writerKeys_.end(), keys.begin(), keys.end());
    if (inTransaction_) Control("ROLLBACK");
    ReleaseWriterLock();
    BreakScope();
    SetError(error);
}

void PgConnection::CheckQueued(const std::vector<Result>& answers,
                               const std::vector<Queued>& sent) {
    for (std::size_t i = 0; i < answers.size() && i < sent.size(); ++i) {
        if (Succeeded(answers[i])) continue;
        queuedFailure_ = sent[i].context;
        NoteFailure(FailureText(LastError(), Describe(), queuedFailure_));
        StatementFailed(true);
        return;
    }
}

void PgConnection::Abandon(const std::string& reason) {
    SetError(reason);
    // The server drops the session, its transaction and its locks with it.
    handle_.reset();
    writerKeys_.clear();
    inTransaction_ = false;
    deferred_ = 0;
    pendingBegin_.clear();
    pendingLocks_.clear();
    queued_.clear();
    copy_ = Copy();
}

}  // namespace strataloom::db
