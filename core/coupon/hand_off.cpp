#include "coupon/hand_off.h"

#include "common/errors.h"
#include "common/fault_point.h"
#include "common/format.h"
#include "common/system_log.h"
#include "common/text.h"
#include "common/trace.h"
#include "coupon/sale_reading.h"
#include "coupon/saved_coupons.h"
#include "data/paradox/px.h"
#include "data/table.h"

namespace ecf::coupon {

namespace {

const char* const kept = " As tabelas CFCABEC e CFITENS foram mantidas.";

std::string numNota(const CouponKey& key) { return common::toUtf8(common::trim(key.values[1])); }

std::filesystem::path pathOf(data::Table& t) { return data::Database::tablePath(t.tableName()); }

// Follows the coupon issue for the journal: the closing stage's beginning, and whether the
// printer closed the coupon (the last call of the closing stage, the closing itself, succeeded).
class Watcher : public IssueObserver {
public:
    Watcher(HandOffContext& ctx, CouponJournal& journal, const std::string& db, const CouponKey& key)
        : ctx_(ctx), journal_(journal), db_(db), key_(key)
    {
    }
    void closing() override
    {
        callsBefore_ = ctx_.watch ? ctx_.watch->calls : 0;
        journal_.closing(db_, key_);
    }
    void closed() override
    {
        // After a library failure no call reached the printer: the coupon was not closed.
        const printer::CallWatch r = ctx_.watch ? *ctx_.watch : printer::CallWatch{callsBefore_ + 1, "", true, false};
        closedOk = r.calls > callsBefore_ && r.lastOk && !r.libraryFailed;
        if (closedOk)
            journal_.closed(db_, key_);
    }
    bool closedOk = false;

private:
    HandOffContext& ctx_;
    CouponJournal& journal_;
    const std::string& db_;
    const CouponKey& key_;
    int callsBefore_ = 0;
};

// Removes the emptying written ahead unless the tables were emptied.
class PreparedEmptying {
public:
    PreparedEmptying(data::Table& cabec, data::Table& itens) : cabec_(pathOf(cabec)), itens_(pathOf(itens)) {}
    ~PreparedEmptying()
    {
        if (!used) {
            data::px::discardPreparedEmptying(itens_);
            data::px::discardPreparedEmptying(cabec_);
        }
    }
    PreparedEmptying(const PreparedEmptying&) = delete;
    PreparedEmptying& operator=(const PreparedEmptying&) = delete;
    bool used = false;

private:
    std::filesystem::path cabec_, itens_;
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
    for (const std::string& line : SavedCoupons::inStateFolder().finishRestores(db, cabec, itens)) {
        ctx_.op.message(line);
        common::systemLog(line);
    }
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
        const CouponState st = journal.state(db, key);
        journal.emptied(db, key);
        if (!st.savedId.empty()) {
            const std::string text = "O cupom " + numNota(key) +
                                     " não foi impresso inteiro e uma cópia dele foi salva (" + st.savedId +
                                     ") antes de uma interrupção. As tabelas CFCABEC e CFITENS foram esvaziadas agora.";
            ctx_.op.message(text);
            common::systemLog("coupon " + numNota(key) + " not printed whole: saved as " + st.savedId +
                              ", hand-off tables emptied after an interruption");
        }
    }
}

bool HandOff::mayPrint(data::Table& cabec, data::Table& itens)
{
    const std::string db = currentDatabase();
    CouponJournal journal = CouponJournal::inStateFolder();
    const CouponKey key = CouponKey::of(cabec);
    const CouponState st = journal.state(db, key);
    if (st.closed) {
        // The printer closed it and the run ended before its tables were emptied.
        ctx_.op.message("Cupom " + numNota(key) +
                        " já impresso: a impressora o fechou numa execução anterior. Ele não será impresso "
                        "de novo; as tabelas CFCABEC e CFITENS foram esvaziadas.");
        common::systemLog("coupon " + numNota(key) + " already printed in an earlier run: hand-off tables emptied");
        itens.close();
        cabec.close();
        empty(cabec, itens, db, key);
        ctx_.outcome.summary("coupon " + numNota(key) + " was already printed: the hand-off tables were emptied");
        return false;
    }
    if (!st.leftOpen())
        return true;
    if (st.closing) {
        // The program stopped while the printer was closing it: printed or not, only the paper
        // tells. A copy is kept for the second case (counted as closed: it is put back only
        // on purpose) and the tables are emptied.
        itens.close();
        cabec.close();
        const std::string id = save(cabec, itens, db, &key, "interrupted while the printer was closing it", true);
        ctx_.op.message("A impressão do cupom " + numNota(key) +
                        " foi interrompida durante o fechamento: confira na impressora se ele saiu. Se não saiu, "
                        "chame o suporte: uma cópia foi salva (" + id + ") e pode ser reposta. As tabelas "
                        "CFCABEC e CFITENS foram esvaziadas.");
        empty(cabec, itens, db, key);
        ctx_.outcome.notDone("the coupon was interrupted while the printer was closing it; a copy was saved");
        ctx_.outcome.summary("coupon " + numNota(key) + " was cut short while the printer closed it: saved as " + id +
                             "; the hand-off tables were emptied");
        return false;
    }
    ctx_.op.message("A impressão do cupom " + numNota(key) +
                    " foi interrompida: a impressora pode estar com um cupom aberto. Feche-o com \"Fecha "
                    "Cupom Aberto\" em Utilitários e imprima de novo." + kept);
    ctx_.outcome.notDone("the printer may hold an open coupon: close it with close-open, then print again");
    ctx_.outcome.summary("nothing printed: the printer may hold an open coupon (close-open first)");
    return false;
}

std::string HandOff::precheck(data::Table& cabec, data::Table& itens)
{
    if (!cabec.active() || !itens.active())
        return "as tabelas CFCABEC e CFITENS não foram abertas";
    if (cabec.eof())
        return "CFCABEC não tem cupom pendente";
    if (itens.recordCount() == 0)
        return "nenhum item de CFITENS pertence ao cupom de CFCABEC";
    try {
        // The emptying after the closing is written ahead: a full disk shows now, before
        // anything is printed, and the emptying then needs no free space.
        data::px::prepareEmptyTable(pathOf(itens));
        data::px::prepareEmptyTable(pathOf(cabec));
    } catch (const common::Error& e) {
        return std::string("as tabelas não poderiam ser esvaziadas depois: ") + common::latin1ToUtf8(e.what());
    }
    return "";
}

void HandOff::keep(data::Table&, data::Table&, const std::string& why)
{
    ctx_.op.message("Cupom não impresso: " + why + "." + kept);
    ctx_.outcome.notDone("nothing printed: " + why);
    ctx_.outcome.summary("nothing printed: " + why);
}

void HandOff::print(data::Table& cabec, data::Table& itens, data::Table& filial, printer::FamilyDriver& driver)
{
    PreparedEmptying prepared(cabec, itens);
    if (const std::string why = precheck(cabec, itens); !why.empty())
        return keep(cabec, itens, why);
    printer::SaleRecord sale;
    try {
        // The sale read once; then every value it will send checked against its field.
        sale = readSale(driver.saleFields(), cabec, itens, filial);
        if (const std::string why = driver.checkCoupon(sale); !why.empty())
            return keep(cabec, itens, why);
    } catch (const common::DatabaseError& e) {
        return keep(cabec, itens, common::errorText(e.what()));
    } catch (const common::ConversionError& e) {
        return keep(cabec, itens, common::errorText(e.what()));
    }

    const std::string db = currentDatabase();
    CouponJournal journal = CouponJournal::inStateFolder();
    const CouponKey key = CouponKey::of(cabec);
    common::Money total;
    if (cabec.hasField("Vlr_Nota"))
        total = cabec.fieldByName("Vlr_Nota").asMoney();
    const std::size_t items = itens.recordCount();
    journal.started(db, key, items, total);

    if (ctx_.watch)
        *ctx_.watch = {};
    Watcher watcher(ctx_, journal, db, key);
    const IssueResult result = issueCoupon(driver, sale, &watcher);
    const printer::CallWatch report = ctx_.watch ? *ctx_.watch : printer::CallWatch{1, "", true, false};

    itens.close();
    cabec.close();
    if (report.calls == 0) {
        // Nothing reached the printer (a model code of no family, or a stop before the first
        // call): the sale stays where the host left it.
        journal.unsent(db, key);
        return keep(cabec, itens, result == IssueResult::Stopped
                                      ? std::string("nada foi enviado à impressora")
                                      : std::string("o modelo de ECF configurado não corresponde a nenhuma impressora"));
    }
    std::string savedAs;
    if (!watcher.closedOk) {
        std::string reason;
        if (result == IssueResult::Stopped)
            reason = "error stop";
        else
            reason = "printer result " + (report.refusal.empty() ? std::string("not a success") : report.refusal);
        savedAs = save(cabec, itens, db, &key, reason, false);
        ctx_.op.message("O cupom " + numNota(key) + " não foi impresso inteiro. Uma cópia foi salva (" + savedAs +
                        ") e as tabelas CFCABEC e CFITENS foram esvaziadas. Feche o cupom aberto na impressora "
                        "(\"Fecha Cupom Aberto\" em Utilitários); ao iniciar de novo, o ECF oferece repor a "
                        "cópia para imprimi-lo.");
        ctx_.outcome.notDone("the coupon was not printed whole (" + reason + ")");
    } else if (!report.refusal.empty()) {
        // The printer closed it, but a call of the coupon failed: kept for the record.
        savedAs = save(cabec, itens, db, &key, "closed by the printer, but " + report.refusal, true);
        ctx_.op.message("O cupom " + numNota(key) + " foi fechado pela impressora, mas um comando falhou (" +
                        report.refusal + "). Confira o cupom impresso; não o imprima de novo. Uma cópia foi "
                        "salva (" + savedAs + ") e as tabelas CFCABEC e CFITENS foram esvaziadas.");
        ctx_.outcome.notDone("the printer refused after the coupon was closed: " + report.refusal);
    }
    empty(cabec, itens, db, key);
    prepared.used = true;
    if (!savedAs.empty())
        ctx_.outcome.summary("coupon " + numNota(key) + " not printed whole: saved as " + savedAs +
                             " (ecf-cli pending); the hand-off tables were emptied");
    else
        ctx_.outcome.summary("printed coupon " + numNota(key) + ": " + std::to_string(items) +
                             (items == 1 ? " item" : " items") + ", total " + common::fmtMoney("%.2f", total));
}

std::string HandOff::save(data::Table& cabec, data::Table& itens, const std::string& db, const CouponKey* key,
                          const std::string& reason, bool printerClosed)
{
    SavedCoupons saved = SavedCoupons::inStateFolder();
    std::optional<CouponKey> k;
    if (key)
        k = *key;
    const SavedCoupon c = saved.save(pathOf(cabec), pathOf(itens), db, k, reason, ctx_.clock.now(), printerClosed);
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
                      "); ecf-cli restore " + c.id + (printerClosed ? " --again" : "") + " puts it back");
    common::systemLog("coupon " + (key ? numNota(*key) : std::string("?")) + " saved as " + c.id + " (" + reason +
                      (printerClosed ? "; the printer closed it" : "; the printer did not close it") + ")");
    step("saved");
    return c.id;
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
