#pragma once
// The item's tax code, one classifier for every family: the item is substituted, exempt or
// not taxed by its own fields, or else its rate is looked up among the printer's tax registers.
// What differs between the families (the order of the checks, the code spellings, how a rate
// is compared and which register wins) is data: one TaxSpelling per family or model.
#include "common/operator_port.h"
#include "printer/records.h"
#include "printer/sale_record.h"
#include "printer/tax_table.h"

#include <string>
#include <vector>

namespace ecf::printer {

struct TaxSpelling {
    enum class RateUnit { Percent, Hundredths };           // 17,00 % is 17 or 1700
    enum class Match { SameRate, RateText };                // the register's rate, or its text as the printer wrote it
    TaxCode substituted, exempt, nonTaxed, blank;           // "blank": none found
    bool servicesByLevel = false;         // an item of Nivel1 "90" is an ISS item (branch's Perc_Issqn, service registers)
    bool icmsBeforeSubstitution = false;  // Icms is looked at before Subst_Trib
    bool nonTaxedAt99 = true;             // AliqCupom 99 means not taxed
    bool icmsSkipsServiceRegisters = false; // an ICMS item is not looked up in registers flagged 1 (ISS)
    RateUnit unit = RateUnit::Percent;
    Match match = Match::SameRate;
    int rateTextDigits = 2;               // Match::RateText: the rate's whole part, zero-padded
    bool firstMatch = false;              // the first matching register wins (else the last)
    int registers = TaxTable::size;       // registers searched, from the first
    bool byIndex = false;                 // the code is the register index (n - 1), not a text
    std::string (*spell)(int n, const TaxEntry& entry) = nullptr; // a found register's code text
    const char* notFound = "";            // the message when no register matches

    // The register number, two digits ("01").
    static std::string registerNumber(int n, const TaxEntry&);
};

// The fields the classification reads, in its order (a service item's Perc_Issqn last).
std::vector<FieldRead> taxFields(const TaxSpelling& spelling);

// The item's tax code; shows the spelling's not-found message when no register matches.
TaxCode classifyTax(const TaxSpelling& spelling, const SaleItem& item, const TaxTable& table, common::OperatorPort& op);

} // namespace ecf::printer
