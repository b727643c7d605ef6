// A checksum page at work, as a user drives it: a file dropped on it, hashed with every
// algorithm the page offers, until the results are on screen.
//
//   checksums_page_bench [--dir DIR] [--runs N] [--size MiB]
//
// For each page it reports
// - the UI thread's longest stall while the file is hashed: a timer on the UI thread that
//   measures how late it fires (target: at most 20 ms);
// - the whole run, from the drop to the published results, beside the bare hashing loop on the
//   same file with the same algorithms (ratio of throughputs; target: at least 0.9).

#include "app/App.h"
#include "checksums/ChecksumRun.h"
#include "checksums/ChecksumsPage.h"
#include "platform/appmodel/Package.h"
#include "platform/foundation/activation.h"
#include "platform/storage/StorageFile.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace Zintrel;
namespace fs = std::filesystem;

namespace {

// A timer on the UI thread that notes how late it fires: the longest time the thread was busy.
class StallProbe {
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_longest = std::max(m_longest, (now - m_last) / 1e6 - tick);
            m_last = now;
        });
        m_clock.start();
        m_timer.start(tick);
    }
    double longest() const { return m_longest; }
    double seconds() const { return m_clock.nsecsElapsed() / 1e9; }

private:
    static constexpr int tick = 5;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    double m_longest = 0;
};

struct Measured {
    double seconds;
    double longestStallMs;
};

// Sends a drag and a drop of the file to the file-name box, as a file manager's drag does.
void Drop(const std::shared_ptr<ChecksumsPage>& page, const fs::path& file)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QWidget* editor = page->fileNameBox()->editor();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(editor, &drop);
}

bool Published(const std::shared_ptr<ChecksumsPage>& page, std::uintmax_t size)
{
    const std::string digits = std::to_string(size);
    if (page->sizeOutput()->Text() != foundation::hstring(std::u16string(digits.begin(), digits.end()))) return false;
    for (const auto& entry : *page->ViewModel()->HashAlgos())
        if (entry->Checksum().empty()) return false;
    return true;
}

// From the drop to the results, watched by a stall probe.
Measured PageRun(const std::shared_ptr<ChecksumsPage>& page, const fs::path& file)
{
    // The run empties the size as it starts; the results of the last run do not count.
    const auto output = page->sizeOutput();
    bool started = output->Text().empty();
    const auto token = output->RegisterPropertyChangedCallback(xaml::TextBlock::TextProperty(), [&](const auto&, const auto&) {
        if (output->Text().empty()) started = true;
    });
    const auto size = fs::file_size(file);
    const StallProbe probe;
    Drop(page, file);
    while (!started || !Published(page, size)) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    output->UnregisterPropertyChangedCallback(xaml::TextBlock::TextProperty(), token);
    return {probe.seconds(), probe.longest()};
}

// The same probe while nothing runs: how late the machine alone makes the timer.
double IdleStall(double seconds)
{
    const StallProbe probe;
    while (probe.seconds() < seconds) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return probe.longest();
}

// The run's loop alone: the same loads of the same file, fed to the same hashers.
double LoopAlone(const std::shared_ptr<ChecksumsPage>& page, const fs::path& file)
{
    std::vector<std::shared_ptr<HashAlgo>> entries(page->ViewModel()->HashAlgos()->begin(), page->ViewModel()->HashAlgos()->end());
    QElapsedTimer clock;
    clock.start();
    const auto loop =
        ChecksumRun::HashAsync(foundation::make<storage::FileInputStream>(foundation::hstring(file.u16string())), entries);
    // The loop ends on the pool; the empty task wakes this thread to see it.
    loop.Completed([](const auto&, auto) { foundation::ui_thread::post([] {}); });
    while (loop.Status() == foundation::AsyncStatus::Started) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return clock.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    fs::path dir = fs::temp_directory_path();
    int runs = 3;
    std::uint64_t mib = 1024;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--dir") dir = argv[i + 1];
        else if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--size") mib = std::max(1, std::atoi(argv[i + 1]));
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    // No package identity: no saved choice interferes.
    appmodel::set_package_folder_for_tests(foundation::hstring((dir / "zintrel-bench-no-package").u16string()));
    const auto app = foundation::make<App>();

    const auto file = dir / ("zintrel-bench-page-" + std::to_string(mib) + "MiB");
    if (!fs::exists(file) || fs::file_size(file) != mib << 20) {
        std::printf("writing %s\n", file.c_str());
        const std::string command = "head -c " + std::to_string(mib << 20) + " /dev/urandom > '" + file.string() + "'";
        if (std::system(command.c_str()) != 0) return 1;
    }

    std::printf("longest UI stall with nothing running (the machine's own noise): %.1f ms over 3 s\n", IdleStall(3));
    for (const char16_t* type : {u"Zintrel.NonCryptoChecksumsPage", u"Zintrel.OpenSslChecksumsPage"}) {
        const auto page = foundation::as<ChecksumsPage>(foundation::activation::activate(type));
        auto root = foundation::make<xaml::XamlRoot>();
        root->Content(page);
        root->host_widget()->resize(1000, 700);
        root->host_widget()->show();
        while (!page->IsLoaded()) QApplication::processEvents();
        page->SelectAllAlgorithms(nullptr, {});

        std::vector<double> pageSeconds, loopSeconds, stalls;
        LoopAlone(page, file);  // the file in the page cache for both sides
        for (int run = 0; run < runs; ++run) {
            const auto measured = PageRun(page, file);
            pageSeconds.push_back(measured.seconds);
            stalls.push_back(measured.longestStallMs);
            loopSeconds.push_back(LoopAlone(page, file));
            page->fileNameBox()->Text({});
        }
        std::sort(pageSeconds.begin(), pageSeconds.end());
        std::sort(loopSeconds.begin(), loopSeconds.end());
        const double pageMedian = pageSeconds[pageSeconds.size() / 2];
        const double loopMedian = loopSeconds[loopSeconds.size() / 2];
        std::printf("%s, %u algorithms, %llu MiB:\n", foundation::to_narrow(type).c_str(),
                    page->ViewModel()->HashAlgos()->Size(), static_cast<unsigned long long>(mib));
        std::printf("  longest UI stall: %.1f ms (worst of %d runs; target <= 20 ms)\n",
                    *std::max_element(stalls.begin(), stalls.end()), runs);
        std::printf("  drop to results: %.3f s, loop alone: %.3f s, ratio %.2f (target >= 0.90)\n", pageMedian, loopMedian,
                    loopMedian / pageMedian);
    }
    return 0;
}
