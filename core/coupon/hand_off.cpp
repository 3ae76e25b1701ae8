#include "coupon/hand_off.h"

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/text.h"
#include "common/trace.h"
#include "coupon/saved_coupons.h"
#include "data/paradox/px.h"
#include "data/table.h"

namespace ecf::coupon {

namespace {

const char* const kept = " As tabelas CFCABEC e CFITENS foram mantidas.";

std::string numNota(const CouponKey& key) { return common::toUtf8(common::trim(key.values[1])); }

class Watcher : public IssueObserver {
public:
    Watcher(HandOffContext& ctx, CouponJournal& journal, const std::string& db, const CouponKey& key)
        : ctx_(ctx), journal_(journal), db_(db), key_(key)
    {
    }
    void closing() override { journal_.closing(db_, key_); }
    void closed() override
    {
        const PrinterReport r = ctx_.endWatch ? ctx_.endWatch() : PrinterReport{1, ""};
        closedOk = r.calls > 0 && r.refusal.empty();
        if (closedOk)
            journal_.closed(db_, key_);
    }
    bool closedOk = false;

private:
    HandOffContext& ctx_;
    CouponJournal& journal_;
    const std::string& db_;
    const CouponKey& key_;
};

} // namespace

HandOff::HandOff(HandOffContext ctx) : ctx_(std::move(ctx)) {}

void HandOff::step(const std::string& name)
{
    common::faultPoint("step:" + name);
}

void HandOff::finishEmptying(data::Table& cabec, data::Table& itens)
{
    CouponJournal journal = CouponJournal::inStateFolder();
    std::error_code ec;
    if (!std::filesystem::exists(journal.file(), ec))
        return;
    const std::string db = currentDatabase();
    for (const CouponKey& key : journal.unfinishedEmptying(db)) {
        // Items go first: a header that still holds this coupon means the emptying stopped
        // half way; another coupon in the header means it had ended.
        bool same = false;
        {
            const data::CloseOnExit guard(cabec);
            cabec.open();
            same = cabec.isEmpty() || CouponKey::of(cabec) == key;
            cabec.close();
        }
        if (same) {
            itens.emptyTable();
            cabec.emptyTable();
        }
        journal.emptied(db, key);
    }
}

bool HandOff::mayPrint(data::Table& cabec, data::Table& itens)
{
    const std::string db = currentDatabase();
    CouponJournal journal = CouponJournal::inStateFolder();
    const CouponKey key = CouponKey::of(cabec);
    const CouponState st = journal.state(db, key);
    if (st.closed) {
        ctx_.op.message("Cupom " + numNota(key) +
                        " ja impresso: a impressora o fechou numa execucao anterior. Ele nao sera impresso "
                        "de novo; as tabelas CFCABEC e CFITENS foram esvaziadas.");
        itens.close();
        cabec.close();
        empty(cabec, itens, db, key);
        return false;
    }
    if (!st.leftOpen())
        return true;
    if (st.closing) {
        // The program stopped while the printer was closing it: printed or not, only the paper
        // tells. A copy is kept for the second case and the tables are emptied.
        itens.close();
        cabec.close();
        save(cabec, itens, db, &key, "interrupted while the printer was closing it");
        ctx_.op.message("A impressao do cupom " + numNota(key) +
                        " foi interrompida durante o fechamento: confira na impressora se ele saiu. Se nao "
                        "saiu, a copia salva (ecf-cli pending) pode ser reposta e impressa de novo.");
        empty(cabec, itens, db, key);
        ctx_.outcome.notDone("the coupon was interrupted while the printer was closing it; a copy was saved");
        return false;
    }
    ctx_.op.message("A impressao do cupom " + numNota(key) +
                    " foi interrompida: a impressora pode estar com um cupom aberto. Feche-o com \"Fecha "
                    "Cupom Aberto\" em Utilitarios e imprima de novo." + kept);
    ctx_.outcome.notDone("the printer may hold an open coupon: close it with close-open, then print again");
    return false;
}

std::string HandOff::precheck(data::Table& cabec, data::Table& itens)
{
    if (!cabec.active() || !itens.active())
        return "as tabelas CFCABEC e CFITENS nao foram abertas";
    if (cabec.eof())
        return "CFCABEC nao tem cupom pendente";
    if (itens.recordCount() == 0)
        return "nenhum item de CFITENS pertence ao cupom de CFCABEC";
    try {
        data::px::checkEmptyTable(data::Database::tablePath(itens.tableName()));
        data::px::checkEmptyTable(data::Database::tablePath(cabec.tableName()));
    } catch (const common::Error& e) {
        return std::string("as tabelas nao poderiam ser esvaziadas depois: ") + common::latin1ToUtf8(e.what());
    }
    return "";
}

void HandOff::print(data::Table& cabec, data::Table& itens, const std::function<IssueResult(IssueObserver&)>& issue)
{
    const std::string why = precheck(cabec, itens);
    if (!why.empty()) {
        ctx_.op.message("Cupom nao impresso: " + why + "." + kept);
        ctx_.outcome.notDone("nothing printed: " + why);
        return;
    }
    const std::string db = currentDatabase();
    CouponJournal journal = CouponJournal::inStateFolder();
    const CouponKey key = CouponKey::of(cabec);
    common::Money total;
    if (cabec.hasField("Vlr_Nota"))
        total = cabec.fieldByName("Vlr_Nota").asMoney();
    journal.started(db, key, itens.recordCount(), total);

    if (ctx_.beginWatch)
        ctx_.beginWatch();
    Watcher watcher(ctx_, journal, db, key);
    const IssueResult result = issue(watcher);
    const PrinterReport report = ctx_.endWatch ? ctx_.endWatch() : PrinterReport{1, ""};

    itens.close();
    cabec.close();
    if (!watcher.closedOk) {
        std::string reason;
        if (result == IssueResult::Stopped)
            reason = "error stop";
        else if (report.calls == 0)
            reason = "no printer family for the model code";
        else
            reason = "printer result " + (report.refusal.empty() ? std::string("not a success") : report.refusal);
        save(cabec, itens, db, &key, reason);
        ctx_.outcome.notDone("the coupon was not printed whole (" + reason + ")");
    } else if (!report.refusal.empty()) {
        ctx_.outcome.notDone("the printer refused after the coupon was closed: " + report.refusal);
    }
    empty(cabec, itens, db, key);
}

void HandOff::save(data::Table& cabec, data::Table& itens, const std::string& db, const CouponKey* key,
                   const std::string& reason)
{
    SavedCoupons saved = SavedCoupons::inStateFolder();
    std::optional<CouponKey> k;
    if (key)
        k = *key;
    const SavedCoupon c = saved.save(data::Database::tablePath(cabec.tableName()),
                                     data::Database::tablePath(itens.tableName()), db, k, reason, ctx_.clock.now());
    if (key)
        CouponJournal::inStateFolder().saved(db, *key, c.id);
    if (ctx_.trace) {
        std::string line = R"({"ev":"saved","id":)";
        common::json::appendUtf8(line, c.id);
        line += R"(,"path":)";
        common::json::appendUtf8(line, c.folder.string());
        line += '}';
        ctx_.trace->writeLine(line);
    }
    ctx_.outcome.note("coupon saved as " + c.id + " in " + c.folder.string() + " (" + reason +
                      "); ecf-cli restore " + c.id + " puts it back");
    step("saved");
}

void HandOff::empty(data::Table& cabec, data::Table& itens, const std::string& db, const CouponKey& key)
{
    CouponJournal journal = CouponJournal::inStateFolder();
    journal.emptying(db, key);
    step("emptying");
    itens.emptyTable();
    step("items-emptied");
    cabec.emptyTable();
    step("header-emptied");
    journal.emptied(db, key);
}

} // namespace ecf::coupon
