#pragma once
// What the operation the operator asked for came to, for a front end that reports it (the exit
// status of ecf-cli): done, or not done and why (the printer refused or failed, access was
// denied, the operator declined). Also the lines a front end says besides the boxes (a coupon
// saved because it was not printed whole).
#include <string>
#include <vector>

namespace ecf::common {

class Outcome {
public:
    // The first reason given is the one kept.
    void notDone(const std::string& why)
    {
        if (!notDone_) {
            notDone_ = true;
            why_ = why;
        }
    }
    bool isNotDone() const { return notDone_; }
    const std::string& why() const { return why_; }

    void note(const std::string& line) { notes_.push_back(line); }
    const std::vector<std::string>& notes() const { return notes_; }

    // What a coupon's hand-off came to, in one plain line (printed, saved, emptied...); the
    // last one said is kept.
    void summary(const std::string& line) { summary_ = line; }
    const std::string& summary() const { return summary_; }

private:
    bool notDone_ = false;
    std::string why_;
    std::vector<std::string> notes_;
    std::string summary_;
};

} // namespace ecf::common
