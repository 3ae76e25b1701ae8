#include "printer/library/maker_host.h"

#include "common/errors.h"
#include "common/state_folder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ecf::printer::library {

namespace {

std::string quoted(const std::filesystem::path& p)
{
    return "\"" + p.string() + "\"";
}

// "90", "0,5": seconds as the operator reads them.
std::string seconds(std::chrono::milliseconds t)
{
    std::string s = std::to_string(t.count() / 1000);
    if (const auto ms = t.count() % 1000) {
        std::string frac = std::to_string(1000 + ms).substr(1);
        while (frac.back() == '0')
            frac.pop_back();
        s += "," + frac;
    }
    return s;
}

// `program` as posix_spawnp finds it: itself when it names a folder, else the first on PATH.
std::filesystem::path onPath(const std::string& program)
{
    if (program.find('/') != std::string::npos)
        return ::access(program.c_str(), X_OK) == 0 ? std::filesystem::path(program) : std::filesystem::path();
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = rest.find(':');
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / program;
        if (!rest.substr(0, colon).empty() && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos)
            return {};
        rest.remove_prefix(colon + 1);
    }
}

// The environment of the program with `name` set to `value` (unless it is set and `keep`).
void setVariable(std::vector<std::string>& env, const std::string& name, const std::string& value, bool keep)
{
    for (std::string& e : env)
        if (e.compare(0, name.size() + 1, name + "=") == 0) {
            if (!keep)
                e = name + "=" + value;
            return;
        }
    env.push_back(name + "=" + value);
}

// Starts `argv` with `env` (empty: the program's own); the child's descriptors as `actions` say.
int spawn(pid_t& pid, const std::vector<std::string>& argv, const std::vector<std::string>& env,
          const posix_spawn_file_actions_t* actions)
{
    std::vector<char*> a, e;
    for (const std::string& s : argv)
        a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    for (const std::string& s : env)
        e.push_back(const_cast<char*>(s.c_str()));
    e.push_back(nullptr);
    return ::posix_spawnp(&pid, a[0], actions, nullptr, a.data(), env.empty() ? environ : e.data());
}

} // namespace

HostSettings hostSettingsFromEnvironment()
{
    HostSettings s;
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    s.helperDir = ec ? std::filesystem::current_path() : self.parent_path();
    // Installed, the helper stands in libexec/ecf beside the programs' bin folder.
    const auto installed = s.helperDir.parent_path() / "libexec" / "ecf";
    if (!std::filesystem::exists(s.helperDir / "ecf-maker-host", ec) &&
        std::filesystem::exists(installed / "ecf-maker-host", ec))
        s.helperDir = installed;
    if (const char* t = std::getenv("ECF_LIB_TIMEOUT")) {
        // Whole seconds, at most a day.
        const std::string_view v = t;
        long long seconds = 0;
        bool whole = !v.empty() && v.size() <= 6;
        for (const char c : v)
            whole = whole && c >= '0' && c <= '9';
        if (whole)
            seconds = std::stoll(std::string(v));
        if (!whole || seconds < 1 || seconds > 86'400)
            throw common::ConfigError("ECF_LIB_TIMEOUT=\"" + std::string(v) +
                                      "\" não vale: o tempo de uma chamada à biblioteca da impressora fiscal "
                                      "é um número inteiro de segundos, de 1 a 86400");
        s.timeout = std::chrono::seconds(seconds);
    }
    if (const char* w = std::getenv("ECF_WINE"); w && *w)
        s.wine = w;
    if (const char* p = std::getenv("WINEPREFIX"); p && *p)
        s.winePrefix = p;
    else
        s.winePrefix = common::stateFolder() / "wine";
    return s;
}

int elfClass(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char ident[5] = {};
    if (!in.read(ident, 5) || std::memcmp(ident, "\x7f" "ELF", 4) != 0)
        return 0;
    return ident[4] == 1 ? 32 : ident[4] == 2 ? 64 : 0;
}

int peMachine(const std::filesystem::path& file)
{
    // "MZ", the PE header's offset at 0x3c, there "PE\0\0" and the machine.
    std::ifstream in(file, std::ios::binary);
    unsigned char dos[64] = {};
    if (!in.read(reinterpret_cast<char*>(dos), sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return 0;
    const std::uint32_t at = dos[0x3c] | dos[0x3d] << 8 | dos[0x3e] << 16 | std::uint32_t{dos[0x3f]} << 24;
    unsigned char pe[6] = {};
    if (at > (1u << 24) || !in.seekg(at) || !in.read(reinterpret_cast<char*>(pe), sizeof pe) ||
        std::memcmp(pe, "PE\0\0", 4) != 0)
        return 0;
    return pe[4] | pe[5] << 8;
}

MakerHost::MakerHost(const LibraryFamily& family, std::filesystem::path library, HostSettings settings)
    : family_(family), library_(std::move(library)), settings_(std::move(settings))
{
    windows_ = classIdentifier() || peMachine(library_) != 0;
}

// The Sigtron control named by its class identifier (registered in the Wine prefix).
bool MakerHost::classIdentifier() const
{
    return family_.control && library_.string().starts_with('{');
}

// The command and environment of the Windows helper under Wine; a message when Wine cannot run it.
std::optional<std::string> MakerHost::prepareWine(std::vector<std::string>& command, std::vector<std::string>& environment)
{
    if (!classIdentifier() && peMachine(library_) != 0x14c)
        return "A biblioteca da impressora fiscal " + quoted(library_) +
               " é uma biblioteca do Windows de 64 bits: o ECF carrega as bibliotecas do Windows de 32 bits "
               "dos fabricantes. Use a versão de 32 bits da biblioteca.";
    std::error_code ec;
    const auto helper = settings_.helperDir / "ecf-maker-host32.exe";
    if (!std::filesystem::exists(helper, ec))
        return "A biblioteca da impressora fiscal " + quoted(library_) +
               " é do Windows, e o programa auxiliar do Windows (ecf-maker-host32.exe) não está instalado em " +
               quoted(settings_.helperDir);
    const auto wine = onPath(settings_.wine);
    if (wine.empty())
        return "A biblioteca da impressora fiscal " + quoted(library_) + " é do Windows e precisa do Wine (\"" +
               settings_.wine + "\"), que não foi encontrado. Instale o Wine com o suporte de 32 bits: "
               "dpkg --add-architecture i386; apt-get update; apt-get install wine wine32:i386";
    for (char** e = environ; *e; ++e)
        environment.emplace_back(*e);
    setVariable(environment, "WINEPREFIX", settings_.winePrefix.string(), false);
    setVariable(environment, "WINEDEBUG", "-all", true);

    if (!std::filesystem::exists(settings_.winePrefix / ".update-timestamp", ec)) {
        const std::string notice = "Preparando o Wine para a biblioteca da impressora fiscal em " +
                                   quoted(settings_.winePrefix) +
                                   ": isto acontece uma só vez e pode levar alguns minutos.";
        std::fprintf(stderr, "ecf: %s\n", notice.c_str());
        if (onNotice)
            onNotice(notice);
        std::filesystem::create_directories(settings_.winePrefix.parent_path(), ec);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 2, 1);
        // Made without Wine's .NET and HTML engines, whose installers ask in a window: the
        // makers' libraries need neither.
        std::vector<std::string> bootEnvironment = environment;
        setVariable(bootEnvironment, "WINEDLLOVERRIDES", "mscoree,mshtml=", true);
        pid_t pid = -1;
        const int rc = spawn(pid, {wine.string(), "wineboot.exe", "--init"}, bootEnvironment, &actions);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (rc == 0)
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            !std::filesystem::exists(settings_.winePrefix / ".update-timestamp", ec))
            return "O Wine não conseguiu preparar a pasta " + quoted(settings_.winePrefix) +
                   " para a biblioteca da impressora fiscal " + quoted(library_) +
                   ". Verifique a instalação do Wine (pacotes wine e wine32:i386).";
    }
    command = {wine.string(), helper.string(), family_.family, library_.string()};
    // Started through the Linux helper, Wine ends with the program even in a call that hangs.
    if (const auto guard = settings_.helperDir / "ecf-maker-host"; std::filesystem::exists(guard, ec))
        command.insert(command.begin(), {guard.string(), "--exec"});
    return std::nullopt;
}

MakerHost::~MakerHost()
{
    close();
}

std::optional<std::string> MakerHost::open()
{
    if (running() && !failed_)
        return std::nullopt;
    end(true);
    failed_ = false;
    failure_.clear();

    std::error_code ec;
    if (!classIdentifier() && !std::filesystem::is_regular_file(library_, ec))
        return "Biblioteca da impressora fiscal não encontrada: " + quoted(library_);
    std::vector<std::string> command, environment;
    windows_ = classIdentifier() || peMachine(library_) != 0;
    if (family_.control && !windows_)
        return "O controle Sigtron " + quoted(library_) +
               " não é um arquivo do Windows: ECF_LIB_SIGTRON nomeia o arquivo do controle (.ocx ou .dll) "
               "ou a sua classe, {E082E834-EA7F-11D0-86A4-000044022A8A}.";
    if (windows_) {
        if (auto problem = prepareWine(command, environment))
            return problem;
    } else {
        const bool bits32 = elfClass(library_) == 32;
        const auto helper = settings_.helperDir / (bits32 ? "ecf-maker-host32" : "ecf-maker-host");
        if (!std::filesystem::exists(helper, ec)) {
            if (bits32)
                return "A biblioteca da impressora fiscal " + quoted(library_) +
                       " é de 32 bits, e o programa auxiliar de 32 bits (ecf-maker-host32) não está instalado em " +
                       quoted(settings_.helperDir) +
                       ": ele vem no pacote ecf (em /usr/libexec/ecf); construindo o ECF do código, instale o "
                       "g++-multilib e construa de novo";
            return "O programa auxiliar ecf-maker-host não está instalado em " + quoted(settings_.helperDir);
        }
        command = {helper.string(), family_.family, library_.string()};
    }

    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sv) != 0)
        return "Não foi possível iniciar o programa auxiliar da impressora fiscal: " + std::string(std::strerror(errno));
    ::fcntl(sv[0], F_SETFD, FD_CLOEXEC);
    // The Linux helper talks on descriptor 3, and what the library itself prints goes to
    // standard error; the Windows helper talks on its standard input and output.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (windows_) {
        posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
        posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
    } else {
        posix_spawn_file_actions_adddup2(&actions, sv[1], 3);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 2, 1);
    }
    if (sv[1] > 3)
        posix_spawn_file_actions_addclose(&actions, sv[1]);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 34)
    // Nothing else of ours reaches the helper (a table's lock, a window system connection).
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);
#endif
    pid_t pid = -1;
    const int rc = spawn(pid, command, environment, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(sv[1]);
    if (rc != 0) {
        ::close(sv[0]);
        return "Não foi possível iniciar o programa auxiliar da impressora fiscal: " + std::string(std::strerror(rc));
    }
    pid_ = pid;
    fd_ = sv[0];

    std::string payload, why;
    wire::Hello status;
    std::string detail;
    // Under Wine the loading also waits for Wine itself to start (its server, a few seconds
    // at most): it gets at least half a minute, whatever a call gets.
    const auto loading = windows_ ? std::max<std::chrono::milliseconds>(settings_.timeout, std::chrono::seconds(30))
                                  : settings_.timeout;
    if (!send(wire::encodeTable(family_), why) ||
        !readFrame(payload, std::chrono::steady_clock::now() + loading, why) ||
        !wire::decodeHello(payload, status, detail)) {
        end(true);
        return "Não foi possível carregar a biblioteca da impressora fiscal " + quoted(library_) +
               (why.empty() ? std::string() : " (" + why + ")") +
               (windows_ ? std::string(". Sob o Wine, a causa costuma ser a falta do suporte de 32 bits: "
                                       "instale o pacote wine32 (apt-get install wine32:i386).")
                         : std::string());
    }
    switch (status) {
    case wire::Ready: return std::nullopt;
    case wire::MissingSymbol:
        end(true);
        return "A biblioteca da impressora fiscal " + quoted(library_) + " não tem a função " + detail;
    case wire::NotLoadable:
    case wire::BadRequest: break;
    }
    end(true);
    return "Não foi possível carregar a biblioteca da impressora fiscal " + quoted(library_) + ": " + detail;
}

void MakerHost::close()
{
    if (fd_ >= 0 && !failed_) {
        wire::Writer w;
        w.u8(wire::quitTag);
        const std::string& f = w.frame();
        (void)::send(fd_, f.data(), f.size(), MSG_NOSIGNAL);
    }
    end(false);
}

// Closes the socket and waits for the helper; one that does not end in a moment is killed.
void MakerHost::end(bool kill)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (pid_ <= 0)
        return;
    if (kill)
        ::kill(pid_, SIGKILL);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        const pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno != EINTR)) {
            pid_ = -1;
            return;
        }
        ::usleep(5000);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

wire::Value MakerHost::call(int index, std::vector<wire::Value>& args)
{
    const Signature& sig = family_.functions[static_cast<std::size_t>(index)];
    wire::Value failure;
    failure.i = sig.failure;
    if (args.size() != std::strlen(sig.args))
        return failure; // not the function's arguments: a programming slip, caught by the tests
    if (failed_)
        return failure;
    if (!running()) {
        if (auto problem = open()) {
            fail(*problem);
            return failure;
        }
    }

    std::string payload, why;
    if (!exchange(wire::encodeCall(index, sig, args), payload, why)) {
        fail("A biblioteca da impressora fiscal " + quoted(library_) + " não respondeu à chamada " + sig.fn +
             " (" + why + ")");
        return failure;
    }
    wire::Value ret;
    std::vector<wire::Value> filled = args;
    std::string detail;
    const auto status = wire::decodeReply(payload, sig, ret, filled, detail);
    if (status != wire::Ok) {
        fail("A biblioteca da impressora fiscal " + quoted(library_) + " falhou na chamada " + sig.fn + " (" +
             (status ? detail : std::string("resposta inválida")) + ")");
        return failure;
    }
    args = std::move(filled);
    return ret;
}

bool MakerHost::send(const std::string& frame, std::string& why)
{
    std::size_t done = 0;
    while (done < frame.size()) {
        const ssize_t n = ::send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            why = "o programa auxiliar terminou";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool MakerHost::exchange(const std::string& frame, std::string& payload, std::string& why)
{
    return send(frame, why) && readFrame(payload, std::chrono::steady_clock::now() + settings_.timeout, why);
}

bool MakerHost::readFrame(std::string& payload, std::chrono::steady_clock::time_point deadline, std::string& why)
{
    // One request, one answer: a frame comes whole in one read as a rule, so read in chunks
    // and stop as soon as the frame is complete.
    std::string in;
    char chunk[1 << 16];
    auto readAll = [&](std::size_t size) {
        while (in.size() < size) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            const int r = ::poll(&p, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
            if (r < 0 && errno == EINTR)
                continue;
            if (r == 0) {
                why = "sem resposta em " + seconds(settings_.timeout) + " s";
                return false;
            }
            const ssize_t n = r < 0 ? -1 : ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                why = "o programa auxiliar terminou";
                return false;
            }
            in.append(chunk, static_cast<std::size_t>(n));
        }
        return true;
    };
    if (!readAll(4))
        return false;
    const std::uint32_t n = wire::frameLength(in.data());
    if (n > wire::maxFrame) {
        why = "resposta inválida";
        return false;
    }
    if (!readAll(4 + std::size_t{n}))
        return false;
    if (in.size() != 4 + std::size_t{n}) {
        why = "resposta inválida";
        return false;
    }
    payload.assign(in, 4, n);
    return true;
}

void MakerHost::fail(std::string message)
{
    end(true);
    failed_ = true;
    failure_ = std::move(message);
    if (onFailure)
        onFailure(failure_);
}

} // namespace ecf::printer::library
