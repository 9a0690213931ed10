// The loan calculator at its longest ordinary size: a 50-year loan, 600
// schedule rows, computed and then written out as the loan calculation text.
#include "loancalc/LoanArithmetic.h"
#include "loancalc/LoanPage.h"
#include "loancalc/LoanTextFile.h"

#include <QDate>
#include <QLocale>
#include <benchmark/benchmark.h>

static void BM_Schedule600Rows(benchmark::State &state)
{
    LoanCalculation fields;
    for (auto _ : state) {
        calc_loan_details(LoanCalcMode::LevelPayment, 50, 10000, 7.5, 0, 500, fields);
        benchmark::DoNotOptimize(fields.schedule.data());
    }
}
BENCHMARK(BM_Schedule600Rows)->Unit(benchmark::kMicrosecond);

static void BM_TextFile600Rows(benchmark::State &state)
{
    LoanPage page;
    page.principal = 10000;
    page.years = 50;
    page.rate = 7.5;
    page.calculate(1);
    for (auto _ : state) {
        QByteArray bytes = LoanTextFile::bytes(page, QDate(2024, 6, 3));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_TextFile600Rows)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
