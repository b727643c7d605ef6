#pragma once
// What the two certificate pages share of a generate run: the form copied off the view model,
// the save dialog, the questions asked before anything is written, the busy state, the work on
// the pool, and the failure dialog or the file manager afterwards.

#include "certificates/CertificateViewModels.h"
#include "certificates/KeyTypes.h"
#include "certificates/OutputFiles.h"
#include "certificates/SubjectNames.h"
#include "platform/foundation/async.h"
#include "platform/xaml/controls/Control.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Zintrel {

// The form as a run reads it, once, on the UI thread; UTF-8 like the builders want it.
struct form_snapshot {
    std::int32_t purpose = 0;
    std::int32_t key_type = 0;
    std::int32_t valid_days = 1;
    subject_fields subject;
    // Wiped when the run lets go of the snapshot.
    std::unique_ptr<secret_text> passphrase = std::make_unique<secret_text>();
};

// The alternative names are left out when with_alt_names is false (the self-signed
// certificate for digital signing names no host).
std::shared_ptr<form_snapshot> read_form(const CertificateFormViewModel& form, bool with_alt_names);

// The builder's parameters (certificate_params or request_params) from the snapshot. The key
// type must be in KeyTypeTable.
template <class Params>
Params params_from(const form_snapshot& form)
{
    Params params{.purpose = form.purpose, .key = KeyTypeTable.at(form.key_type), .subject = form.subject};
    if constexpr (requires { params.valid_days; }) params.valid_days = form.valid_days;
    return params;
}

struct generate_plan {
    foundation::hstring failure_title;     // "Failure generating …"
    foundation::hstring choice_name;       // the save dialog's file type: "PEM"
    std::vector<foundation::hstring> extensions;  // the first is the save dialog's default extension
    bool writes_key_file = false;          // a ".key" file beside the chosen one
    // Runs on the UI thread before the save dialog: throws, as a std::error_code, what the build
    // would refuse in the form.
    std::function<void()> check;
    // Runs on a pool thread: makes the objects, writes the files, returns them for the file
    // manager. Library and file failures arrive as std::error_code.
    std::function<std::vector<std::filesystem::path>(const std::filesystem::path& output)> make_and_write;
};

// The run behind a generate button. Nothing happens without a common name (blanks are none); a
// key type that is not in the table and what the plan's check refuses are reported before the
// save dialog opens.
foundation::fire_and_forget run_generate(std::shared_ptr<xaml::Control> page, std::shared_ptr<form_snapshot> form,
                                         generate_plan plan);

// A dialog over the page's window with an OK button; not awaited by the run.
foundation::fire_and_forget show_failure_dialog(std::shared_ptr<xaml::Control> page, foundation::hstring title,
                                                foundation::hstring message);

}  // namespace Zintrel
