// Makes the Wine prefix trust the test certificate authority of the TLS tests:
// adds the certificate of a PEM file to the local machine's Root store.
//
//   trust_test_ca.exe Z:/path/to/test-ca.pem
//
// The local machine's store, not the current user's: there Windows asks the
// user to confirm every new root, and a test must never wait for a dialog.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> DerFromPem(const std::string& pem) {
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr))
        return {};
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                              nullptr, nullptr))
        return {};
    der.resize(size);
    return der;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_test_ca CERTIFICATE.pem\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::vector<BYTE> der = DerFromPem(std::string(std::istreambuf_iterator<char>(file), {}));
    if (der.empty()) {
        std::fprintf(stderr, "trust_test_ca: no PEM certificate in %s\n", argv[1]);
        return 1;
    }
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!root) {
        std::fprintf(stderr, "trust_test_ca: cannot open the Root store (error %lu)\n", GetLastError());
        return 1;
    }
    BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                                  CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    DWORD error = GetLastError();
    CertCloseStore(root, 0);
    if (!added) {
        std::fprintf(stderr, "trust_test_ca: the certificate was not added (error %lu)\n", error);
        return 1;
    }
    return 0;
}
