#include "store/receipt_words.h"

#include <cstring>

namespace kassio {

namespace {

constexpr int kBuiltInWords = 36;  // slot 0 (the name) and words 1..35

// Accented letters are single Windows-1252 bytes.
const char* const kBuiltIn[kLanguageCount][kBuiltInWords] = {
    {"English",
     "Receipt",
     "Sub total",
     "Total",
     "Discount",
     "Customer",
     "Non taxable",
     "Taxable",
     "Tendered",
     "Cash change",
     "Payment: Cash",
     "Payment: Cheque",
     "Payment: EFT",
     "Payment: Credit",
     "Payment: CH with cash",
     "Payment: EFT with cash",
     "Refund",
     "INVOICE",
     "Order Number",
     "Associate",
     "DESCRIPTION",
     "PRODUCT CODE",
     "LINE COST",
     "SUBTOTAL",
     "TOTAL",
     "DISCOUNT",
     "CUSTOMER",
     "CUSTOMER NO",
     "TELEPHONE",
     "ITEMS",
     "NON TX",
     "TAXABLE",
     "Authorized",
     "Received",
     "Unit price",
     "Terms"},
    {"Italiano",
     "Ricevimento",
     "Sub totale",
     "Totale",
     "Sconto",
     "Cliente",
     "Non imponibile",
     "Imponibile",
     "Offerto",
     "Sostituzione del contante",
     "Pagamento: Contanti",
     "Pagamento: Assegno",
     "Pagamento: EFT",
     "Pagamento: Credit",
     "Pagamento: CH in contanti",
     "Pagamento: EFT in contanti",
     "Rimborso",
     "FATTURA",
     "Fattura No",
     "Associate",
     "DESCRIZIONE",
     "ARTICOLI NO",
     "NET TOTALE",
     "SUB TOTALE",
     "TOTALE",
     "SCONTO",
     "CLIENTE",
     "CLIENTE NO",
     "TELEFONO",
     "ARTICOLI",
     "NON IMP",
     "IMPONIBILE",
     "Autorizzato",
     "Ricevuto",
     "Prezzo unitario",
     "Condizioni"},
    {"Espanol",
     "Recepci\xF3n",
     "Sub total",
     "Total",
     "Descuento",
     "Cliente",
     "No imponible",
     "Imponible",
     "Licitaci\xF3n",
     "De introducci\xF3n del efectivo",
     "Pago: Efectivo",
     "Pago: transferencia bancaria",
     "Pago: cr\xE9"
     "dito",
     "Pago: Credit",
     "Pago: con dinero en efectivo CH",
     "Pago: transferencia bancaria con dinero en efectivo",
     "Reembolso",
     "FACTURA",
     "Factura Number",
     "Associate",
     "DESCRIPCION",
     "ARTICULOS NO",
     "NET TOTAL",
     "SUBTOTAL",
     "TOTAL",
     "DESCUENTO",
     "CLIENTE",
     "CLIENTE NO",
     "TELEFONO",
     "ARTICULOS",
     "NON IMP",
     "IMPONIBLE",
     "Autorizado",
     "Recibido",
     "Precio por unidad",
     "Condiciones"},
    {"Nederlands",
     "Ontvangst",
     "Subtotaal",
     "Totaal",
     "Korting",
     "Klant",
     "Niet-belastbare",
     "Belastbaar",
     "Aangeboden",
     "Naar de chartale euro",
     "Betaling: Cash",
     "Betaling: Cheque",
     "Betaling: EFT",
     "Betaling: Credit",
     "Betaling: CH met contant geld",
     "Betaling: EFT met contant geld",
     "Terugbetaling",
     "FACTUUR",
     "FACTUUR No",
     "Associate",
     "BESCHRIJVING",
     "ITEM NO",
     "NET TOTAAL",
     "SUBTOTAAL",
     "TOTAAL",
     "KORTING",
     "KLANT",
     "KLANT NO",
     "TELEFOON",
     "ITEMS",
     "NON BELA",
     "BELASTBAAR",
     "Geautoriseerde",
     "Ontvangen",
     "Eenheidsprijs",
     "Voorwaarden"},
};

}  // namespace

void ReceiptWords::loadBuiltIn(int language) {
    if (language < 0 || language >= kLanguageCount) return;
    m_bytes.fill(0);
    for (int slot = 0; slot < kBuiltInWords; ++slot) setWord(slot, kBuiltIn[language][slot]);
}

std::string ReceiptWords::word(int slot) const {
    if (slot < 0 || slot >= kReceiptWordSlots) return {};
    const char* p = reinterpret_cast<const char*>(m_bytes.data()) + slot * kReceiptWordWidth;
    return std::string(p, strnlen(p, kReceiptWordWidth));
}

void ReceiptWords::setWord(int slot, const std::string& text) {
    if (slot < 0 || slot >= kReceiptWordSlots) return;
    unsigned char* p = m_bytes.data() + slot * kReceiptWordWidth;
    std::size_t len = text.size() < kReceiptWordWidth - 1 ? text.size() : kReceiptWordWidth - 1;
    std::memset(p, 0, kReceiptWordWidth);
    std::memcpy(p, text.data(), len);
}

}  // namespace kassio
