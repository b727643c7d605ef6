#include "certificates/CertificateViewModels.h"

#include "platform/foundation/activation.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Zintrel;

// The forms' start values are checked on the pages that show them.
TEST(CertificateViewModels, ActivatedByName)
{
    const auto selfSigned = foundation::try_as<SelfSignedCertViewModel>(
        foundation::activation::activate(u"Zintrel.SelfSignedCertViewModel"));
    ASSERT_TRUE(selfSigned);
    EXPECT_EQ(selfSigned->GetRuntimeClassName(), u"Zintrel.SelfSignedCertViewModel");

    const auto request = foundation::try_as<CertSigningRequestViewModel>(
        foundation::activation::activate(u"Zintrel.CertSigningRequestViewModel"));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->GetRuntimeClassName(), u"Zintrel.CertSigningRequestViewModel");
}

TEST(CertificateViewModels, ValidDaysIsAtLeastOneWithNoUpperBound)
{
    auto model = foundation::make<SelfSignedCertViewModel>();
    for (const auto& [stored, read] : {std::pair{0, 1}, {-5, 1}, {INT_MIN, 1}, {1, 1}, {100000, 100000},
                                      {INT_MAX, INT_MAX}}) {
        model->ValidDays(stored);
        EXPECT_EQ(model->ValidDays(), read) << stored;
    }
}

TEST(CertificateViewModels, EachFieldKeepsItsOwnValue)
{
    // Distinct values catch a getter wired to the wrong field.
    auto model = foundation::make<CertSigningRequestViewModel>();
    model->Purpose(-1);
    model->KeyTypeLabel(7);
    model->CommonName(u"cn");
    model->AltNames(u"alt");
    model->Organization(u"o");
    model->OrganizationalUnit(u"ou");
    model->Location(u"l");
    model->State(u"st");
    model->CountryCode(u"c");
    model->Passphrase(u"pass");
    EXPECT_EQ(model->Purpose(), -1);
    EXPECT_EQ(model->KeyTypeLabel(), 7);
    EXPECT_EQ(model->CommonName(), u"cn");
    EXPECT_EQ(model->AltNames(), u"alt");
    EXPECT_EQ(model->Organization(), u"o");
    EXPECT_EQ(model->OrganizationalUnit(), u"ou");
    EXPECT_EQ(model->Location(), u"l");
    EXPECT_EQ(model->State(), u"st");
    EXPECT_EQ(model->CountryCode(), u"c");
    EXPECT_EQ(model->Passphrase(), u"pass");
}
