// Reading the LOGIN7 record.
#include "tds/login7.h"

#include "tds/text_codec.h"

namespace orv::tds {
namespace {

constexpr size_t kFixedPart71 = 86;  // up to and including ibAtchDBFile/cchAtchDBFile
constexpr uint8_t kIntegratedSecurity = 0x80;  // OptionFlags2.fIntSecurity
constexpr uint8_t kExtension = 0x10;           // OptionFlags3.fExtension

struct Field {
  uint16_t offset = 0;
  uint16_t chars = 0;
};

Field ReadField(WireReader& reader) {
  Field field;
  field.offset = reader.U16();
  field.chars = reader.U16();
  return field;
}

Bytes FieldBytes(Bytes payload, const Field& field, const char* what) {
  if (field.chars > kMaxLoginNameChars) {
    throw ProtocolError(std::string("The login's ") + what + " is longer than " +
                        std::to_string(kMaxLoginNameChars) + " characters.");
  }
  const size_t bytes = static_cast<size_t>(field.chars) * 2;
  if (field.offset > payload.size() || bytes > payload.size() - field.offset) {
    throw ProtocolError(std::string("The login's ") + what + " lies outside the record.");
  }
  return payload.subspan(field.offset, bytes);
}

std::string FieldText(Bytes payload, const Field& field, const char* what) {
  return Utf16ToUtf8(FieldBytes(payload, field, what));
}

uint8_t Unscramble(uint8_t byte) {
  byte ^= 0xA5;
  return static_cast<uint8_t>(byte << 4 | byte >> 4);
}

}  // namespace

Login7 ParseLogin7(Bytes payload) {
  if (payload.size() < kFixedPart71) throw ProtocolError("The login record is shorter than its fixed part.");
  WireReader reader(payload);
  Login7 login;
  const uint32_t length = reader.U32();
  if (length > payload.size()) throw ProtocolError("The login record claims more bytes than it holds.");
  login.tds_version = reader.U32();
  login.packet_size = reader.U32();
  reader.Skip(4);  // client program version
  login.client_pid = reader.U32();
  reader.Skip(4);  // connection id
  login.option_flags1 = reader.U8();
  login.option_flags2 = reader.U8();
  login.type_flags = reader.U8();
  login.option_flags3 = reader.U8();
  reader.Skip(4);  // client time zone
  login.client_lcid = reader.U32();
  const Field host = ReadField(reader);
  const Field user = ReadField(reader);
  const Field password = ReadField(reader);
  const Field app = ReadField(reader);
  const Field server = ReadField(reader);
  ReadField(reader);  // extension offset, or unused
  const Field library = ReadField(reader);
  const Field language = ReadField(reader);
  const Field database = ReadField(reader);
  reader.Skip(6);  // client MAC address
  const Field sspi = ReadField(reader);
  ReadField(reader);  // database file to attach: not offered
  const Bytes records = payload.first(length);
  login.host_name = FieldText(records, host, "host name");
  login.user_name = FieldText(records, user, "user name");
  const Bytes scrambled = FieldBytes(records, password, "password");
  std::string clear(scrambled.size(), '\0');
  for (size_t i = 0; i < scrambled.size(); ++i) clear[i] = static_cast<char>(Unscramble(scrambled[i]));
  login.password = Utf16ToUtf8(AsBytes(clear));
  login.app_name = FieldText(records, app, "application name");
  login.server_name = FieldText(records, server, "server name");
  login.library_name = FieldText(records, library, "library name");
  login.language = FieldText(records, language, "language");
  login.database = FieldText(records, database, "database");
  login.integrated_security = (login.option_flags2 & kIntegratedSecurity) != 0 || sspi.chars != 0;
  login.has_feature_extension = (login.option_flags3 & kExtension) != 0;
  return login;
}

uint32_t NegotiateTdsVersion(uint32_t client_version) {
  switch (client_version) {
    case kTds71:
    case kTds72:
    case kTds73A:
    case kTds73B:
    case kTds74:
      return client_version;
    default:
      return client_version > kTds74 ? kTds74 : 0;
  }
}

}  // namespace orv::tds
