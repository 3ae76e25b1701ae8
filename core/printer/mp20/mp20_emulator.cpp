#include "printer/mp20/mp20_emulator.h"

#include "common/text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ecf::printer::mp20 {

namespace {

constexpr char esc = '\x1b';

// "\033|nn|a|b|\033" -> {"nn", "a", "b"}; empty when the text is not so framed.
std::vector<std::string> splitCommand(const std::string& command)
{
    std::vector<std::string> fields;
    if (command.size() < 4 || command.front() != esc || command.back() != esc || command[1] != '|' ||
        command[command.size() - 2] != '|')
        return fields;
    const std::string body = command.substr(2, command.size() - 4);
    std::string field;
    for (char c : body) {
        if (c == '|') {
            fields.push_back(field);
            field.clear();
        } else {
            field.push_back(c);
        }
    }
    fields.push_back(field);
    return fields;
}

std::string field(const std::vector<std::string>& f, std::size_t i) { return i < f.size() ? f[i] : std::string(); }

void printLines(EmulatedPrinter& p, const std::string& bytes)
{
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            p.print(common::toUtf8(line));
            line.clear();
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    if (!line.empty())
        p.print(common::toUtf8(line));
}

} // namespace

int Mp20Emulator::IniPortaStr(const std::string&)
{
    printer_.portOpen = true;
    return 1;
}

#if defined(_WIN32)
// The Windows stand-in library: the file is written anew, unless it still holds this reply as
// last written here (same size and change time).
void Mp20Emulator::writeReply(const std::string& line)
{
    std::string bytes = line + "\r\n";
    const std::string path = (workDir_ / "MP20FI.RET").string();
    struct stat now {};
    if (written_ && bytes == lastReply_ && ::stat(path.c_str(), &now) == 0 && now.st_size == lastStat_.st_size &&
        now.st_mtime == lastStat_.st_mtime)
        return;
    written_ = false;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!(out << bytes))
            return;
    }
    if (::stat(path.c_str(), &lastStat_) == 0) {
        lastReply_ = std::move(bytes);
        written_ = true;
    }
}
#else
namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

} // namespace

void Mp20Emulator::writeReply(const std::string& line)
{
    // The file ends up holding exactly the reply line, as if rewritten from nothing; but it is
    // overwritten in place and cut only where the new reply is shorter (never to nothing):
    // truncating a just-written file to nothing makes the file system wait for the disk, and
    // the library writes this file for every command.
    std::string bytes = line + "\r\n";
    const std::string path = (workDir_ / "MP20FI.RET").string();
    // Most commands leave the same reply as the one before (every item leaves an empty line).
    // When the file is still the one last written here, untouched since (same file, size and
    // change times), it already holds these bytes and is left as it is.
    if (written_ && bytes == lastReply_) {
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && sameFile(now, lastStat_))
            return;
    }
    written_ = false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    struct stat st {};
    // A file that could not be cut to the reply's length is not taken as holding it.
    const bool cut = ::fstat(fd, &st) != 0 || st.st_size <= static_cast<off_t>(done) ||
                     ::ftruncate(fd, static_cast<off_t>(done)) == 0;
    if (cut && done == bytes.size() && ::fstat(fd, &lastStat_) == 0) {
        lastReply_ = std::move(bytes);
        written_ = true;
    }
    ::close(fd);
}
#endif

int Mp20Emulator::FormataTX(const std::string& command)
{
    writeReply(run(splitCommand(command)));
    return 0;
}

std::string Mp20Emulator::paymentFormIndex(const std::string& name)
{
    const std::string wanted = common::trimBlanks(name);
    if (wanted.empty())
        return {};
    std::size_t i = 0;
    for (; i < printer_.paymentForms.size(); ++i)
        if (printer_.paymentForms[i] == wanted)
            break;
    if (i == printer_.paymentForms.size()) {
        if (printer_.paymentForms.size() >= maxPaymentForms)
            return {};
        printer_.paymentForms.push_back(wanted);
    }
    const std::string number = std::to_string(i + 1); // at most maxPaymentForms
    return number.size() < 2 ? "0" + number : number;
}

std::string Mp20Emulator::run(const std::vector<std::string>& f)
{
    const std::string cmd = field(f, 0);
    if (cmd == "26") {
        // Two status characters, then the 16 registers as four digits each (blank: empty).
        std::string reply = "00";
        for (std::size_t k = 0; k < 16; ++k) {
            const auto& reg = k < printer_.taxRegisters.size() ? printer_.taxRegisters[k] : EmulatedPrinter::TaxRegister{};
            if (reg.rate.isZero() || reg.service) {
                reply += "    ";
                continue;
            }
            char buf[8];
            std::snprintf(buf, sizeof buf, "%04lld", static_cast<long long>(reg.rate.tenThousandths() / 100 % 10000));
            reply += buf;
        }
        return reply;
    }
    if (cmd == "71")
        return paymentFormIndex(field(f, 1));
    if (cmd == "35") {
        std::string reply = "0";
        for (const auto& name : printer_.paymentForms) {
            std::string entry = name.substr(0, 16);
            entry.resize(16, ' ');
            reply += entry;
        }
        return reply;
    }
    if (cmd == "00") {
        printer_.openCoupon();
    } else if (cmd == "09") {
        // Quantity in thousandths times the price in cents, truncated to cents; the discount a
        // percentage in hundredths (four places) or a value in cents.
        const long long cents = EmulatedPrinter::digitsValue(field(f, 4)) * EmulatedPrinter::digitsValue(field(f, 5)) / 1000;
        printer_.print(field(f, 1) + " " + common::toUtf8(field(f, 2)));
        std::string line = "    " + EmulatedPrinter::digitsAsDecimal(field(f, 4), 3) + " x " + EmulatedPrinter::digitsAsDecimal(field(f, 5), 2) + "  " + field(f, 3) +
                           "  " + EmulatedPrinter::centsAsDecimal(cents);
        printer_.print(line);
        const std::string disc = field(f, 6);
        if (disc.find_first_not_of('0') != std::string::npos)
            printer_.print(disc.size() == 4 ? "    desconto " + EmulatedPrinter::digitsAsDecimal(disc, 2) + "%" : "    desconto -" + EmulatedPrinter::digitsAsDecimal(disc, 2));
        printer_.couponCents += cents - (disc.size() == 4 ? cents * EmulatedPrinter::digitsValue(disc) / 10000 : EmulatedPrinter::digitsValue(disc));
    } else if (cmd == "32") {
        printer_.print("TOTAL  " + EmulatedPrinter::centsAsDecimal(printer_.couponCents));
    } else if (cmd == "33") {
        printer_.print(common::toUtf8(common::trimBlanks(field(f, 1))) + "  " + EmulatedPrinter::digitsAsDecimal(field(f, 2), 2));
    } else if (cmd == "72") {
        const std::string idx = field(f, 1);
        std::string name = idx;
        const int n = std::atoi(idx.c_str());
        if (n >= 1 && static_cast<std::size_t>(n) <= printer_.paymentForms.size())
            name = printer_.paymentForms[static_cast<std::size_t>(n - 1)];
        printer_.print(common::toUtf8(name) + "  " + EmulatedPrinter::digitsAsDecimal(field(f, 2), 2));
    } else if (cmd == "34") {
        printLines(printer_, field(f, 1));
        printer_.closeCoupon();
    } else if (cmd == "66") {
        printer_.printBanner("COMPROVANTE NAO FISCAL VINCULADO");
        printer_.print(common::toUtf8(field(f, 1)));
    } else if (cmd == "67" || cmd == "20") {
        printLines(printer_, field(f, 1));
    } else if (cmd == "21") {
        printer_.printBanner("FIM DO COMPROVANTE");
    } else if (cmd == "06") {
        printer_.nonFiscalReport("LEITURA X");
    } else if (cmd == "05") {
        const std::string t = field(f, 1);
        printer_.nonFiscalReport(t.size() == 12 ? "REDUCAO Z " + t.substr(0, 2) + "/" + t.substr(2, 2) + "/" + t.substr(4, 2) +
                                                " " + t.substr(6, 2) + ":" + t.substr(8, 2) + ":" + t.substr(10, 2)
                                          : "REDUCAO Z");
    } else if (cmd == "14") {
        printer_.cancelCoupon();
    }
    return {};
}

} // namespace ecf::printer::mp20
