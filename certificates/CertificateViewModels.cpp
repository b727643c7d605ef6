#include "certificates/CertificateViewModels.h"

#include "platform/foundation/activation.h"

namespace Zintrel {

namespace {

const foundation::class_registration selfSignedRegistration{
    u"Zintrel.SelfSignedCertViewModel", foundation::activator_of<SelfSignedCertViewModel>()};
const foundation::class_registration requestRegistration{
    u"Zintrel.CertSigningRequestViewModel", foundation::activator_of<CertSigningRequestViewModel>()};

}  // namespace

}  // namespace Zintrel
