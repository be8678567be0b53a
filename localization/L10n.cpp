#include "localization/L10n.h"

#include <array>
#include <atomic>
#include <utility>

// French texts put a no-break space (written "\u00A0") before ":", ";", "?", "!" and
// inside « », so that a line never starts with the mark.

namespace velmora::L10n {

namespace {

// Ordinal of the language chosen from the list given to usePreferredLanguages; -1 until then.
std::atomic<int> requestedLanguage{-1};

thread_local std::optional<Language> scopedLanguage;

Language processLanguage()
{
    static const Language chosen = [] {
        const int requested = requestedLanguage.load(std::memory_order_acquire);
        if (requested >= 0) {
            return allLanguages[static_cast<std::size_t>(requested)];
        }
        return chooseLanguage(systemPreferredLanguages());
    }();
    return chosen;
}

// The one place catalogue texts read the language from.
Language currentLanguage()
{
    return scopedLanguage ? *scopedLanguage : processLanguage();
}

// Exactly five texts, in the order of Language, so a key cannot miss a language.
template <typename Text>
std::string pick(Text en, Text nl, Text de, Text fr, Text es)
{
    std::array<Text, allLanguages.size()> texts{
        std::move(en), std::move(nl), std::move(de), std::move(fr), std::move(es)};
    return std::string(std::move(texts[static_cast<std::size_t>(currentLanguage())]));
}

template <typename... Pieces>
std::string cat(const Pieces&... pieces)
{
    std::string text;
    text.reserve((std::string_view(pieces).size() + ...));
    (text.append(std::string_view(pieces)), ...);
    return text;
}

std::string digits(std::int64_t n)
{
    return std::to_string(n);
}

}  // namespace

Language language()
{
    return currentLanguage();
}

void usePreferredLanguages(std::vector<std::string> preferred)
{
    requestedLanguage.store(static_cast<int>(chooseLanguage(preferred)), std::memory_order_release);
}

ScopedLanguage::ScopedLanguage(Language language)
    : previous_(scopedLanguage)
{
    scopedLanguage = language;
}

ScopedLanguage::~ScopedLanguage()
{
    scopedLanguage = previous_;
}

std::string appName()
{
    return "Velmora";
}

std::string number(std::int64_t n, std::string_view suffix)
{
    return cat(digits(n), suffix);
}

namespace Help {

std::string windowTitle()
{
    return pick("Velmora Help", "Velmora Help", "Velmora-Hilfe", "Aide Velmora", "Ayuda de Velmora");
}

std::string searchPrompt()
{
    return pick("Search help", "Zoeken in help", "Hilfe durchsuchen", "Rechercher dans l'aide", "Buscar en la ayuda");
}

std::string noResults()
{
    return pick("No topics found", "Geen onderwerpen gevonden", "Keine Themen gefunden", "Aucun sujet trouvé",
                "No se encontraron temas");
}

std::string tipLabel()
{
    return pick("Tip", "Tip", "Tipp", "Astuce", "Consejo");
}

}  // namespace Help

namespace Header {

std::string port()
{
    return pick("Port", "Poort", "Port", "Port", "Puerto");
}

std::string baudRate()
{
    return pick("Baud rate", "Baudrate", "Baudrate", "Débit", "Velocidad");
}

std::string noPortsFound()
{
    return pick("No ports found", "Geen poorten gevonden", "Keine Ports gefunden", "Aucun port trouvé",
                "No se encontraron puertos");
}

std::string choosePort()
{
    return pick("Select a port…", "Kies een poort…", "Wähle einen Port…", "Choisissez un port…",
                "Selecciona un puerto…");
}

std::string portNotConnected(std::string_view port)
{
    return pick(cat(port, " (not connected)"), cat(port, " (niet verbonden)"), cat(port, " (nicht verbunden)"),
                cat(port, " (non connecté)"), cat(port, " (no conectado)"));
}

std::string baud(std::int64_t rate)
{
    return number(rate, " baud");
}

std::string portInUseInOtherTab(std::string_view port)
{
    return pick(cat(port, " (open in another tab)"), cat(port, " (geopend in een ander tabblad)"),
                cat(port, " (in einem anderen Tab geöffnet)"), cat(port, " (ouvert dans un autre onglet)"),
                cat(port, " (abierto en otra pestaña)"));
}

std::string frameSettingsHelp()
{
    return pick("Data bits, parity, stop bits and flow control", "Databits, pariteit, stopbits en flowcontrol",
                "Datenbits, Parität, Stoppbits und Flusssteuerung",
                "Bits de données, parité, bits d'arrêt et contrôle de flux",
                "Bits de datos, paridad, bits de parada y control de flujo");
}

std::string connect()
{
    return pick("Connect", "Verbinden", "Verbinden", "Connecter", "Conectar");
}

std::string disconnect()
{
    return pick("Disconnect", "Verbreken", "Trennen", "Déconnecter", "Desconectar");
}

std::string connectHelp()
{
    return pick("Connect (⌘R)", "Verbinden (⌘R)", "Verbinden (⌘R)", "Connecter (⌘R)", "Conectar (⌘R)");
}

std::string disconnectHelp()
{
    return pick("Disconnect (⌘R)", "Verbreken (⌘R)", "Trennen (⌘R)", "Déconnecter (⌘R)", "Desconectar (⌘R)");
}

}  // namespace Header

namespace State {

std::string connected()
{
    return pick("Connected", "Verbonden", "Verbunden", "Connecté", "Conectado");
}

std::string waiting()
{
    return pick("Waiting…", "Wachten…", "Warten…", "En attente…", "Esperando…");
}

std::string disconnected()
{
    return pick("Not connected", "Niet verbonden", "Nicht verbunden", "Non connecté", "No conectado");
}

}  // namespace State

namespace Input {

std::string promptConnected(std::string_view port)
{
    return pick(cat("Message (Enter to send message to '", port, "')"),
                cat("Bericht (Enter om te verzenden naar '", port, "')"),
                cat("Nachricht (Enter zum Senden an „", port, "“)"),
                cat("Message (Entrée pour envoyer à «\u00A0", port, "\u00A0»)"),
                cat("Mensaje (Intro para enviar a «", port, "»)"));
}

std::string promptWaiting()
{
    return pick("Waiting for device…", "Wachten op apparaat…", "Warten auf das Gerät…",
                "En attente de l'appareil…", "Esperando al dispositivo…");
}

std::string promptDisconnected()
{
    return pick("Not connected — select a port and click Connect",
                "Niet verbonden — kies een poort en klik op Verbinden",
                "Nicht verbunden — wähle einen Port und klicke auf Verbinden",
                "Non connecté — choisissez un port et cliquez sur Connecter",
                "No conectado — selecciona un puerto y haz clic en Conectar");
}

std::string send()
{
    return pick("Send", "Verzenden", "Senden", "Envoyer", "Enviar");
}

std::string lineEnding()
{
    return pick("Line ending", "Regeleinde", "Zeilenende", "Fin de ligne", "Final de línea");
}

std::string noLineEndingShort()
{
    return pick("none", "geen", "keins", "aucune", "ninguno");
}

std::string lineEndingChipHelp(std::string_view ending)
{
    return pick(cat("Appended to every message: ", ending), cat("Wordt aan elk bericht toegevoegd: ", ending),
                cat("Wird an jede Nachricht angehängt: ", ending), cat("Ajouté à chaque message\u00A0: ", ending),
                cat("Se añade a cada mensaje: ", ending));
}

}  // namespace Input

namespace Send {

std::string mode()
{
    return pick("Send mode", "Verzendmodus", "Sendemodus", "Mode d'envoi", "Modo de envío");
}

std::string text()
{
    return pick("Text", "Tekst", "Text", "Texte", "Texto");
}

std::string hex()
{
    return "HEX";
}

std::string promptHex(std::string_view port)
{
    return pick(cat("HEX bytes, e.g. 01 03 00 00 00 0A (Enter to send to '", port, "')"),
                cat("HEX-bytes, bijv. 01 03 00 00 00 0A (Enter om te verzenden naar '", port, "')"),
                cat("HEX-Bytes, z. B. 01 03 00 00 00 0A (Enter zum Senden an „", port, "“)"),
                cat("Octets HEX, p. ex. 01 03 00 00 00 0A (Entrée pour envoyer à «\u00A0", port, "\u00A0»)"),
                cat("Bytes HEX, p. ej. 01 03 00 00 00 0A (Intro para enviar a «", port, "»)"));
}

std::string invalidHex(std::string_view token)
{
    return pick(cat("'", token, "' is not a valid HEX value. Use 0–9 and A–F, e.g. 01 0A FF."),
                cat("'", token, "' is geen geldige HEX-waarde. Gebruik 0–9 en A–F, bijv. 01 0A FF."),
                cat("„", token, "“ ist kein gültiger HEX-Wert. Verwende 0–9 und A–F, z. B. 01 0A FF."),
                cat("«\u00A0", token, "\u00A0» n'est pas une valeur HEX valide. Utilisez 0–9 et A–F, p. ex. 01 0A FF."),
                cat("«", token, "» no es un valor HEX válido. Usa 0–9 y A–F, p. ej. 01 0A FF."));
}

std::string oddLength(std::string_view token)
{
    return pick(cat("'", token, "' has an odd number of digits. Write bytes as pairs, e.g. 0A or 01 0A."),
                cat("'", token, "' heeft een oneven aantal cijfers. Schrijf bytes als paren, bijv. 0A of 01 0A."),
                cat("„", token,
                    "“ hat eine ungerade Anzahl von Ziffern. Schreibe Bytes als Paare, z. B. 0A oder 01 0A."),
                cat("«\u00A0", token,
                    "\u00A0» a un nombre impair de chiffres. Écrivez les octets par paires, p. ex. 0A ou 01 0A."),
                cat("«", token, "» tiene un número impar de dígitos. Escribe los bytes en pares, p. ej. 0A o 01 0A."));
}

std::string lineEndingNotInHex()
{
    return pick("No line ending is added in HEX mode. Type 0D 0A yourself if needed.",
                "In HEX-modus wordt geen regeleinde toegevoegd. Typ zelf 0D 0A als dat nodig is.",
                "Im HEX-Modus wird kein Zeilenende angehängt. Tippe bei Bedarf selbst 0D 0A.",
                "Aucune fin de ligne n'est ajoutée en mode HEX. Saisissez vous-même 0D 0A si nécessaire.",
                "En modo HEX no se añade ningún final de línea. Escribe tú mismo 0D 0A si hace falta.");
}

std::string menuSendAsHex()
{
    return pick("Send as HEX", "Verzenden als HEX", "Als HEX senden", "Envoyer en HEX", "Enviar como HEX");
}

}  // namespace Send

namespace LineEnding {

std::string none()
{
    return pick("No line ending", "Geen regeleinde", "Kein Zeilenende", "Aucune fin de ligne", "Sin final de línea");
}

std::string lf()
{
    return pick("New line (LF)", "Nieuwe regel (LF)", "Zeilenvorschub (LF)", "Saut de ligne (LF)",
                "Nueva línea (LF)");
}

std::string cr()
{
    return pick("Carriage return (CR)", "Wagenterugloop (CR)", "Wagenrücklauf (CR)", "Retour chariot (CR)",
                "Retorno de carro (CR)");
}

std::string crlf()
{
    return pick("Both NL & CR (CRLF)", "Zowel NL als CR (CRLF)", "Sowohl NL als auch CR (CRLF)",
                "Les deux, NL et CR (CRLF)", "Ambos, NL y CR (CRLF)");
}

}  // namespace LineEnding

namespace Footer {

std::string autoscroll()
{
    return pick("Autoscroll", "Automatisch scrollen", "Automatisch scrollen", "Défilement automatique",
                "Desplazamiento automático");
}

std::string timestamp()
{
    return pick("Show timestamp", "Tijdstempel tonen", "Zeitstempel anzeigen", "Afficher l'horodatage",
                "Mostrar marca de tiempo");
}

std::string echo()
{
    return pick("Echo sent", "Verzonden tonen", "Gesendetes anzeigen", "Écho des envois", "Eco de lo enviado");
}

std::string echoHelp()
{
    return pick("Show sent messages in the output", "Verzonden berichten in de uitvoer tonen",
                "Gesendete Nachrichten in der Ausgabe anzeigen", "Afficher les messages envoyés dans la sortie",
                "Mostrar los mensajes enviados en la salida");
}

std::string counters(std::int64_t rx, std::int64_t tx)
{
    return cat("RX ", digits(rx), " B  ·  TX ", digits(tx), " B");
}

std::string save()
{
    return pick("Save…", "Opslaan…", "Speichern…", "Enregistrer…", "Guardar…");
}

std::string saveHelp()
{
    return pick("Save output as text file (⌘S)", "Uitvoer opslaan als tekstbestand (⌘S)",
                "Ausgabe als Textdatei speichern (⌘S)", "Enregistrer la sortie dans un fichier texte (⌘S)",
                "Guardar la salida como archivo de texto (⌘S)");
}

std::string clear()
{
    return pick("Clear output", "Uitvoer wissen", "Ausgabe löschen", "Effacer la sortie", "Borrar la salida");
}

std::string clearHelp()
{
    return pick("Clear output (⌘K)", "Uitvoer wissen (⌘K)", "Ausgabe löschen (⌘K)", "Effacer la sortie (⌘K)",
                "Borrar la salida (⌘K)");
}

std::string outputAccessibility()
{
    return pick("Serial output", "Seriële uitvoer", "Serielle Ausgabe", "Sortie série", "Salida serie");
}

}  // namespace Footer

namespace Display {

std::string mode()
{
    return pick("Display", "Weergave", "Anzeige", "Affichage", "Visualización");
}

std::string modeHelp()
{
    return pick("How received data is displayed", "Hoe ontvangen data wordt weergegeven",
                "Wie empfangene Daten angezeigt werden", "Mode d'affichage des données reçues",
                "Cómo se muestran los datos recibidos");
}

std::string text()
{
    return pick("Text (UTF-8)", "Tekst (UTF-8)", "Text (UTF-8)", "Texte (UTF-8)", "Texto (UTF-8)");
}

std::string hex()
{
    return Send::hex();
}

std::string hexDump()
{
    return pick("HEX + ASCII (dump)", "HEX + ASCII (dump)", "HEX + ASCII (Dump)", "HEX + ASCII (vidage)",
                "HEX + ASCII (volcado)");
}

std::string decimal()
{
    return pick("Decimal", "Decimaal", "Dezimal", "Décimal", "Decimal");
}

std::string binary()
{
    return pick("Binary", "Binair", "Binär", "Binaire", "Binario");
}

std::string asciiEscaped()
{
    return pick("ASCII with control codes", "ASCII met stuurcodes", "ASCII mit Steuerzeichen",
                "ASCII avec codes de contrôle", "ASCII con códigos de control");
}

std::string options()
{
    return pick("Display options", "Weergaveopties", "Anzeigeoptionen", "Options d'affichage",
                "Opciones de visualización");
}

std::string output()
{
    return pick("Output", "Uitvoer", "Ausgabe", "Sortie", "Salida");
}

std::string byteModes()
{
    return pick("HEX, dump, decimal and binary", "HEX, dump, decimaal en binair", "HEX, Dump, dezimal und binär",
                "HEX, vidage, décimal et binaire", "HEX, volcado, decimal y binario");
}

std::string optionsHelp()
{
    return pick("Autoscroll, timestamp, echo and byte-mode options",
                "Automatisch scrollen, tijdstempel, echo en opties voor bytemodi",
                "Automatisch scrollen, Zeitstempel, Echo und Optionen der Byte-Modi",
                "Défilement automatique, horodatage, écho et options des modes octets",
                "Desplazamiento automático, marca de tiempo, eco y opciones de los modos de bytes");
}

std::string bytesPerLine()
{
    return pick("Bytes per line", "Bytes per regel", "Bytes pro Zeile", "Octets par ligne", "Bytes por línea");
}

std::string breakOnLF()
{
    return pick("New line after LF (0x0A)", "Nieuwe regel na LF (0x0A)", "Neue Zeile nach LF (0x0A)",
                "Nouvelle ligne après LF (0x0A)", "Nueva línea tras LF (0x0A)");
}

std::string packetGap()
{
    return pick("New line after pause", "Nieuwe regel na pauze", "Neue Zeile nach Pause",
                "Nouvelle ligne après une pause", "Nueva línea tras una pausa");
}

std::string off()
{
    return pick("Off", "Uit", "Aus", "Désactivé", "Desactivado");
}

std::string milliseconds(std::int64_t n)
{
    return number(n, " ms");
}

std::string textModeNote()
{
    return pick("These options apply to HEX, dump, decimal and binary. In text mode lines follow the received "
                "line endings.",
                "Deze opties gelden voor HEX, dump, decimaal en binair. In tekstmodus volgen de regels de "
                "ontvangen regeleinden.",
                "Diese Optionen gelten für HEX, Dump, dezimal und binär. Im Textmodus folgen die Zeilen den "
                "empfangenen Zeilenenden.",
                "Ces options s'appliquent aux modes HEX, vidage, décimal et binaire. En mode texte, les lignes "
                "suivent les fins de ligne reçues.",
                "Estas opciones se aplican a HEX, volcado, decimal y binario. En modo texto, las líneas siguen los "
                "finales de línea recibidos.");
}

std::string packetGapNote()
{
    return pick("Useful for binary protocols such as Modbus RTU: each packet on its own line.",
                "Handig voor binaire protocollen zoals Modbus RTU: elk pakket op een eigen regel.",
                "Nützlich für binäre Protokolle wie Modbus RTU: jedes Paket in einer eigenen Zeile.",
                "Utile pour les protocoles binaires comme Modbus RTU\u00A0: chaque paquet sur sa propre ligne.",
                "Útil para protocolos binarios como Modbus RTU: cada paquete en su propia línea.");
}

}  // namespace Display

namespace Notice {

std::string emptyTitle()
{
    return pick("Ready to connect", "Klaar om te verbinden", "Bereit zum Verbinden", "Prêt à se connecter",
                "Listo para conectar");
}

std::string emptySteps()
{
    return pick("Choose the port and your sketch's baud rate at the top, then click Connect (⌘R).",
                "Kies bovenaan de poort en de baudrate van je sketch en klik dan op Verbinden (⌘R).",
                "Wähle oben den Port und die Baudrate deines Sketches und klicke dann auf Verbinden (⌘R).",
                "Choisissez en haut le port et le débit de votre croquis, puis cliquez sur Connecter (⌘R).",
                "Elige arriba el puerto y la velocidad de tu sketch y luego haz clic en Conectar (⌘R).");
}

std::string emptyNoDevice()
{
    return pick("No USB device found", "Geen USB-apparaat gevonden", "Kein USB-Gerät gefunden",
                "Aucun appareil USB trouvé", "No se encontró ningún dispositivo USB");
}

std::string emptyNoDeviceSteps()
{
    return pick("Connect your board with a USB cable that carries data. The port will appear automatically.",
                "Sluit je board aan met een USB-kabel die data overdraagt. De poort verschijnt vanzelf.",
                "Schließe dein Board mit einem USB-Kabel an, das Daten überträgt. Der Port erscheint automatisch.",
                "Branchez votre carte avec un câble USB qui transmet des données. Le port apparaîtra "
                "automatiquement.",
                "Conecta tu placa con un cable USB que transmita datos. El puerto aparecerá automáticamente.");
}

std::string connectTo(std::string_view port)
{
    return pick(cat("Connect to ", port), cat("Verbinden met ", port), cat("Mit ", port, " verbinden"),
                cat("Se connecter à ", port), cat("Conectar con ", port));
}

std::string noData(std::int64_t baud)
{
    const std::string rate = digits(baud);
    return pick(cat("No data received yet. Does your sketch send something with Serial.print, and is "
                    "Serial.begin also set to ",
                    rate, "?"),
                cat("Nog geen data ontvangen. Stuurt je sketch iets met Serial.print, en staat Serial.begin ook "
                    "op ",
                    rate, "?"),
                cat("Noch keine Daten empfangen. Sendet dein Sketch etwas mit Serial.print, und ist Serial.begin "
                    "auch auf ",
                    rate, " eingestellt?"),
                cat("Aucune donnée reçue pour l'instant. Votre croquis envoie-t-il quelque chose avec "
                    "Serial.print, et Serial.begin est-il aussi réglé sur ",
                    rate, "\u00A0?"),
                cat("Aún no se han recibido datos. ¿Tu sketch envía algo con Serial.print y Serial.begin también "
                    "está configurado a ",
                    rate, "?"));
}

std::string garbage(std::int64_t baud)
{
    const std::string rate = digits(baud);
    return pick(cat("Garbled data? The baud rate (", rate, ") is probably wrong. Try:"),
                cat("Onleesbare data? Waarschijnlijk klopt de baudrate (", rate, ") niet. Probeer:"),
                cat("Unlesbare Daten? Wahrscheinlich stimmt die Baudrate (", rate, ") nicht. Versuche:"),
                cat("Données illisibles\u00A0? Le débit (", rate, ") est probablement incorrect. Essayez\u00A0:"),
                cat("¿Datos ilegibles? Probablemente la velocidad (", rate, ") no es correcta. Prueba:"));
}

std::string dismiss()
{
    return pick("Dismiss", "Sluiten", "Schließen", "Fermer", "Descartar");
}

std::string backToText()
{
    return pick("back to text", "terug naar tekst", "zurück zu Text", "retour au texte", "volver a texto");
}

std::string backToTextHelp()
{
    return pick("Received data is not shown as text. Click to switch back to text (⌘1).",
                "Ontvangen data wordt niet als tekst getoond. Klik om terug te schakelen naar tekst (⌘1).",
                "Empfangene Daten werden nicht als Text angezeigt. Klicke, um zurück zu Text zu wechseln (⌘1).",
                "Les données reçues ne sont pas affichées en texte. Cliquez pour revenir au texte (⌘1).",
                "Los datos recibidos no se muestran como texto. Haz clic para volver a texto (⌘1).");
}

}  // namespace Notice

namespace Board {

std::string usbSerial(std::string_view chip)
{
    return pick(cat("USB serial (", chip, ")"), cat("USB-serieel (", chip, ")"), cat("USB-seriell (", chip, ")"),
                cat("USB-série (", chip, ")"), cat("USB-serie (", chip, ")"));
}

}  // namespace Board

namespace Lines {

std::string menuHelp()
{
    return pick("DTR/RTS signals and resetting your board", "DTR/RTS-signalen en je board resetten",
                "DTR/RTS-Signale und Zurücksetzen deines Boards", "Signaux DTR/RTS et réinitialisation de votre carte",
                "Señales DTR/RTS y reinicio de tu placa");
}

std::string dtr()
{
    return "DTR";
}

std::string rts()
{
    return "RTS";
}

std::string resetArduino()
{
    return pick("Reset Arduino (DTR pulse)", "Arduino resetten (DTR-puls)", "Arduino zurücksetzen (DTR-Impuls)",
                "Réinitialiser l'Arduino (impulsion DTR)", "Reiniciar Arduino (pulso DTR)");
}

std::string resetESP32()
{
    return pick("Reset ESP32/ESP8266 (RTS pulse)", "ESP32/ESP8266 resetten (RTS-puls)",
                "ESP32/ESP8266 zurücksetzen (RTS-Impuls)", "Réinitialiser l'ESP32/ESP8266 (impulsion RTS)",
                "Reiniciar ESP32/ESP8266 (pulso RTS)");
}

std::string resetESP32Bootloader()
{
    return pick("Start ESP32/ESP8266 in bootloader", "ESP32/ESP8266 in bootloader starten",
                "ESP32/ESP8266 im Bootloader starten", "Démarrer l'ESP32/ESP8266 en mode bootloader",
                "Iniciar ESP32/ESP8266 en modo bootloader");
}

std::string dtrChanged(bool on)
{
    return on ? pick("DTR on", "DTR aan", "DTR an", "DTR activé", "DTR activado")
              : pick("DTR off", "DTR uit", "DTR aus", "DTR désactivé", "DTR desactivado");
}

std::string rtsChanged(bool on)
{
    return on ? pick("RTS on", "RTS aan", "RTS an", "RTS activé", "RTS activado")
              : pick("RTS off", "RTS uit", "RTS aus", "RTS désactivé", "RTS desactivado");
}

std::string notConnected()
{
    return pick("Connect first to use DTR and RTS", "Maak eerst verbinding om DTR en RTS te gebruiken",
                "Stelle zuerst eine Verbindung her, um DTR und RTS zu verwenden",
                "Connectez-vous d'abord pour utiliser DTR et RTS",
                "Conéctate primero para usar DTR y RTS");
}

}  // namespace Lines

namespace Plotter {

std::string title()
{
    return pick("Plotter", "Plotter", "Plotter", "Traceur", "Trazador");
}

std::string toggleHelp()
{
    return pick("Show numbers from the received data as a graph (⌘⇧L)",
                "Getallen uit de ontvangen data als grafiek tonen (⌘⇧L)",
                "Zahlen aus den empfangenen Daten als Diagramm anzeigen (⌘⇧L)",
                "Afficher les nombres des données reçues sous forme de graphique (⌘⇧L)",
                "Mostrar los números de los datos recibidos como gráfico (⌘⇧L)");
}

std::string valueName(std::int64_t n)
{
    const std::string index = digits(n);
    return pick(cat("Value ", index), cat("Waarde ", index), cat("Wert ", index), cat("Valeur ", index),
                cat("Valor ", index));
}

std::string points()
{
    return pick("Points", "Punten", "Punkte", "Points", "Puntos");
}

std::string options()
{
    return pick("Plotter options", "Plotteropties", "Plotter-Optionen", "Options du traceur",
                "Opciones del trazador");
}

std::string optionsHelp()
{
    return pick("Statistics, scale, line style and number of points",
                "Statistieken, schaal, lijnstijl en aantal punten",
                "Statistik, Skala, Linienstil und Anzahl der Punkte",
                "Statistiques, échelle, style de courbe et nombre de points",
                "Estadísticas, escala, estilo de línea y número de puntos");
}

std::string statistics()
{
    return pick("Min/max/avg", "Min/max/gem", "Min/Max/Mittel", "Min/max/moy", "Mín/máx/media");
}

std::string statisticsHelp()
{
    return pick("Show the minimum, maximum and average of the visible measurements for each line",
                "Toon per lijn het minimum, maximum en gemiddelde van de zichtbare metingen",
                "Zeige für jede Linie Minimum, Maximum und Mittelwert der sichtbaren Messwerte",
                "Afficher le minimum, le maximum et la moyenne des mesures visibles pour chaque courbe",
                "Muestra el mínimo, el máximo y la media de las mediciones visibles de cada línea");
}

std::string min()
{
    return pick("Min", "Min", "Min", "Min", "Mín");
}

std::string max()
{
    return pick("Max", "Max", "Max", "Max", "Máx");
}

std::string mean()
{
    return pick("Avg", "Gem", "Mittel", "Moy", "Media");
}

std::string layout()
{
    return pick("Layout", "Indeling", "Layout", "Disposition", "Diseño");
}

std::string layoutName(PlotLayout layout)
{
    switch (layout) {
    case PlotLayout::stacked:
        return pick("Stacked", "Onder elkaar", "Untereinander", "Empilés", "Apilados");
    case PlotLayout::cards:
        return pick("Cards", "Kaarten", "Karten", "Cartes", "Tarjetas");
    case PlotLayout::shared:
        break;
    }
    return pick("One chart", "Eén grafiek", "Ein Diagramm", "Un graphique", "Un gráfico");
}

std::string layoutHelp()
{
    return pick("One chart: all lines on one scale. Stacked: each line with its own Y axis. Cards: an overview "
                "with the current values; click a card to enlarge it.",
                "Eén grafiek: alle lijnen op één schaal. Onder elkaar: elke lijn met een eigen Y-as. Kaarten: een "
                "overzicht met de actuele waarden; klik op een kaart om die te vergroten.",
                "Ein Diagramm: alle Linien auf einer Skala. Untereinander: jede Linie mit eigener Y-Achse. Karten: "
                "eine Übersicht mit den aktuellen Werten; klicke auf eine Karte, um sie zu vergrößern.",
                "Un graphique\u00A0: toutes les courbes sur une même échelle. Empilés\u00A0: chaque courbe avec "
                "son propre axe Y. Cartes\u00A0: une vue d'ensemble avec les valeurs actuelles\u00A0; cliquez sur "
                "une carte pour l'agrandir.",
                "Un gráfico: todas las líneas en una misma escala. Apilados: cada línea con su propio eje Y. "
                "Tarjetas: una vista general con los valores actuales; haz clic en una tarjeta para ampliarla.");
}

std::string cardHelp()
{
    return pick("Click to enlarge", "Klik om te vergroten", "Zum Vergrößern klicken", "Cliquez pour agrandir",
                "Haz clic para ampliar");
}

std::string close()
{
    return pick("Close (Esc)", "Sluiten (Esc)", "Schließen (Esc)", "Fermer (Échap)", "Cerrar (Esc)");
}

std::string previous()
{
    return pick("Previous value (←)", "Vorige waarde (←)", "Vorheriger Wert (←)", "Valeur précédente (←)",
                "Valor anterior (←)");
}

std::string next()
{
    return pick("Next value (→)", "Volgende waarde (→)", "Nächster Wert (→)", "Valeur suivante (→)",
                "Valor siguiente (→)");
}

std::string scaleHint()
{
    return pick("Some lines look flat because the ranges differ a lot.",
                "Sommige lijnen lijken vlak omdat de bereiken sterk verschillen.",
                "Manche Linien wirken flach, weil sich die Wertebereiche stark unterscheiden.",
                "Certaines courbes paraissent plates, car leurs plages de valeurs sont très différentes.",
                "Algunas líneas se ven planas porque los rangos son muy distintos.");
}

std::string smooth()
{
    return pick("Smooth lines", "Vloeiende lijnen", "Geglättete Linien", "Courbes lissées", "Líneas suavizadas");
}

std::string smoothHelp()
{
    return pick("Round the corners between points instead of straight segments. The line still passes through "
                "the measured values and never overshoots them.",
                "Rond de hoeken tussen punten af in plaats van rechte stukken. De lijn gaat nog steeds door de "
                "gemeten waarden en schiet er nooit overheen.",
                "Runde die Ecken zwischen den Punkten ab, statt gerade Abschnitte zu zeichnen. Die Linie verläuft "
                "weiterhin durch die Messwerte und schießt nie über sie hinaus.",
                "Arrondir les angles entre les points au lieu de segments droits. La courbe passe toujours par les "
                "valeurs mesurées et ne les dépasse jamais.",
                "Redondea las esquinas entre los puntos en lugar de usar segmentos rectos. La línea sigue pasando "
                "por los valores medidos y nunca los sobrepasa.");
}

std::string pause()
{
    return pick("Pause", "Pauzeren", "Pausieren", "Pause", "Pausar");
}

std::string resume()
{
    return pick("Resume", "Hervatten", "Fortsetzen", "Reprendre", "Reanudar");
}

std::string clear()
{
    return pick("Clear graph", "Grafiek wissen", "Diagramm löschen", "Effacer le graphique", "Borrar el gráfico");
}

std::string waitingTitle()
{
    return pick("Waiting for numbers…", "Wachten op getallen…", "Warten auf Zahlen…", "En attente de nombres…",
                "Esperando números…");
}

std::string waitingHelp()
{
    // The middle line is Arduino code and the last example is data: they are not translated.
    constexpr std::string_view code = "`Serial.print(temp); Serial.print(\",\"); Serial.println(hum);`";
    constexpr std::string_view named = "`temp:21.5,hum:40`";
    return pick(cat("Send one line per measurement, for example:\n", code, "\nor with names: ", named),
                cat("Stuur één regel per meting, bijvoorbeeld:\n", code, "\nof met namen: ", named),
                cat("Sende eine Zeile pro Messung, zum Beispiel:\n", code, "\noder mit Namen: ", named),
                cat("Envoyez une ligne par mesure, par exemple\u00A0:\n", code, "\nou avec des noms\u00A0: ", named),
                cat("Envía una línea por medición, por ejemplo:\n", code, "\no con nombres: ", named));
}

std::string legendHelp()
{
    return pick("Click to show or hide this line", "Klik om deze lijn te tonen of te verbergen",
                "Klicke, um diese Linie ein- oder auszublenden", "Cliquez pour afficher ou masquer cette courbe",
                "Haz clic para mostrar u ocultar esta línea");
}

std::string pausedNote()
{
    return pick("Paused", "Gepauzeerd", "Pausiert", "En pause", "En pausa");
}

}  // namespace Plotter

namespace Settings {

std::string frame()
{
    return pick("Frame", "Frame", "Rahmen", "Trame", "Trama");
}

std::string dataBits()
{
    return pick("Data bits", "Databits", "Datenbits", "Bits de données", "Bits de datos");
}

std::string parity()
{
    return pick("Parity", "Pariteit", "Parität", "Parité", "Paridad");
}

std::string stopBits()
{
    return pick("Stop bits", "Stopbits", "Stoppbits", "Bits d'arrêt", "Bits de parada");
}

std::string flowControl()
{
    return pick("Flow control", "Flowcontrol", "Flusssteuerung", "Contrôle de flux", "Control de flujo");
}

std::string customBaud()
{
    return pick("Custom baud rate", "Eigen baudrate", "Eigene Baudrate", "Débit personnalisé",
                "Velocidad personalizada");
}

std::string customBaudPlaceholder()
{
    return pick("e.g. 31250", "bijv. 31250", "z. B. 31250", "p. ex. 31250", "p. ej. 31250");
}

std::string apply()
{
    return pick("Apply", "Toepassen", "Anwenden", "Appliquer", "Aplicar");
}

std::string customBaudInvalid(std::int64_t min, std::int64_t max)
{
    const std::string low = digits(min);
    const std::string high = digits(max);
    return pick(cat("Enter a number between ", low, " and ", high, "."),
                cat("Voer een getal in tussen ", low, " en ", high, "."),
                cat("Gib eine Zahl zwischen ", low, " und ", high, " ein."),
                cat("Saisissez un nombre entre ", low, " et ", high, "."),
                cat("Introduce un número entre ", low, " y ", high, "."));
}

std::string defaults()
{
    return pick("Default (8N1, no flow control)", "Standaard (8N1, geen flowcontrol)",
                "Standard (8N1, keine Flusssteuerung)", "Par défaut (8N1, sans contrôle de flux)",
                "Predeterminado (8N1, sin control de flujo)");
}

std::string appliedImmediately()
{
    return pick("Changes are applied immediately; the port is reopened.",
                "Wijzigingen worden direct toegepast; de poort wordt opnieuw geopend.",
                "Änderungen werden sofort übernommen; der Port wird neu geöffnet.",
                "Les modifications sont appliquées immédiatement\u00A0; le port est rouvert.",
                "Los cambios se aplican de inmediato; el puerto se vuelve a abrir.");
}

}  // namespace Settings

namespace Parity {

std::string none()
{
    return pick("None", "Geen", "Keine", "Aucune", "Ninguna");
}

std::string even()
{
    return pick("Even", "Even", "Gerade", "Paire", "Par");
}

std::string odd()
{
    return pick("Odd", "Oneven", "Ungerade", "Impaire", "Impar");
}

}  // namespace Parity

namespace FlowControl {

std::string none()
{
    return pick("None", "Geen", "Keine", "Aucun", "Ninguno");
}

std::string rtsCts()
{
    return pick("Hardware (RTS/CTS)", "Hardware (RTS/CTS)", "Hardware (RTS/CTS)", "Matériel (RTS/CTS)",
                "Por hardware (RTS/CTS)");
}

std::string xonXoff()
{
    return pick("Software (XON/XOFF)", "Software (XON/XOFF)", "Software (XON/XOFF)", "Logiciel (XON/XOFF)",
                "Por software (XON/XOFF)");
}

}  // namespace FlowControl

namespace Menu {

std::string newTab()
{
    return pick("New Tab", "Nieuw tabblad", "Neuer Tab", "Nouvel onglet", "Nueva pestaña");
}

std::string newWindow()
{
    return pick("New Window", "Nieuw venster", "Neues Fenster", "Nouvelle fenêtre", "Nueva ventana");
}

std::string saveOutput()
{
    return pick("Save Output…", "Uitvoer opslaan…", "Ausgabe speichern…", "Enregistrer la sortie…",
                "Guardar salida…");
}

std::string serialPort()
{
    return pick("Serial Port", "Seriële poort", "Serieller Port", "Port série", "Puerto serie");
}

std::string clearOutput()
{
    return pick("Clear Output", "Uitvoer wissen", "Ausgabe löschen", "Effacer la sortie", "Borrar salida");
}

std::string file()
{
    return pick("File", "Bestand", "Datei", "Fichier", "Archivo");
}

std::string closeTab()
{
    return pick("Close Tab", "Tabblad sluiten", "Tab schließen", "Fermer l'onglet", "Cerrar pestaña");
}

std::string edit()
{
    return pick("Edit", "Bewerken", "Bearbeiten", "Édition", "Editar");
}

std::string copy()
{
    return pick("Copy", "Kopiëren", "Kopieren", "Copier", "Copiar");
}

std::string selectAll()
{
    return pick("Select All", "Alles selecteren", "Alles auswählen", "Tout sélectionner", "Seleccionar todo");
}

std::string find()
{
    return pick("Find…", "Zoeken…", "Suchen…", "Rechercher…", "Buscar…");
}

std::string help()
{
    return pick("Help", "Help", "Hilfe", "Aide", "Ayuda");
}

std::string quit()
{
    return pick("Quit", "Stoppen", "Beenden", "Quitter", "Salir");
}

std::string moveTabToNewWindow()
{
    return pick("Move Tab to New Window", "Tabblad naar nieuw venster verplaatsen", "Tab in neues Fenster verschieben", "Déplacer l'onglet vers une nouvelle fenêtre", "Mover pestaña a una ventana nueva");
}

}  // namespace Menu

namespace Find {

std::string placeholder()
{
    return pick("Find in output", "Zoeken in uitvoer", "In der Ausgabe suchen", "Rechercher dans la sortie", "Buscar en la salida");
}

std::string next()
{
    return pick("Next match", "Volgende treffer", "Nächster Treffer", "Occurrence suivante", "Siguiente coincidencia");
}

std::string previous()
{
    return pick("Previous match", "Vorige treffer", "Vorheriger Treffer", "Occurrence précédente", "Coincidencia anterior");
}

std::string close()
{
    return pick("Close find bar", "Zoekbalk sluiten", "Suchleiste schließen", "Fermer la barre de recherche", "Cerrar la barra de búsqueda");
}

std::string noMatches()
{
    return pick("No matches", "Geen treffers", "Keine Treffer", "Aucune occurrence", "Sin coincidencias");
}

}  // namespace Find

namespace Status {

std::string connected(std::string_view path, std::string_view settings)
{
    return pick(cat("Connected to ", path, " @ ", settings), cat("Verbonden met ", path, " @ ", settings),
                cat("Verbunden mit ", path, " @ ", settings), cat("Connecté à ", path, " @ ", settings),
                cat("Conectado a ", path, " @ ", settings));
}

std::string closed()
{
    return pick("Connection closed", "Verbinding gesloten", "Verbindung getrennt", "Connexion fermée",
                "Conexión cerrada");
}

std::string connectionLost()
{
    return pick("Connection lost.", "Verbinding verbroken.", "Verbindung verloren.", "Connexion perdue.",
                "Conexión perdida.");
}

std::string waitingForDevice(std::string_view reason)
{
    return pick(cat(reason, " Waiting for the device to return…"),
                cat(reason, " Wachten tot het apparaat terugkomt…"),
                cat(reason, " Warten, bis das Gerät wieder da ist…"),
                cat(reason, " En attente du retour de l'appareil…"),
                cat(reason, " Esperando a que vuelva el dispositivo…"));
}

std::string reconnectFailed(std::string_view reason)
{
    return pick(cat("Reconnect failed: ", reason), cat("Opnieuw verbinden mislukt: ", reason),
                cat("Erneutes Verbinden fehlgeschlagen: ", reason), cat("Échec de la reconnexion\u00A0: ", reason),
                cat("Error al volver a conectar: ", reason));
}

std::string droppedBytes(std::int64_t n)
{
    const std::string count = digits(n);
    return pick(cat(count, " bytes skipped: the display could not keep up with the data stream"),
                cat(count, " bytes overgeslagen: de weergave kon de datastroom niet bijhouden"),
                cat(count, " Bytes übersprungen: die Anzeige kam mit dem Datenstrom nicht mit"),
                cat(count, " octets ignorés\u00A0: l'affichage n'a pas pu suivre le flux de données"),
                cat(count, " bytes omitidos: la pantalla no pudo seguir el ritmo del flujo de datos"));
}

}  // namespace Status

namespace Errors {

std::string invalidPath(std::string_view path)
{
    return pick(cat("'", path, "' is not a valid serial port."), cat("'", path, "' is geen geldige seriële poort."),
                cat("„", path, "“ ist kein gültiger serieller Port."),
                cat("«\u00A0", path, "\u00A0» n'est pas un port série valide."),
                cat("«", path, "» no es un puerto serie válido."));
}

std::string openFailed(std::string_view path, std::string_view reason)
{
    return pick(cat("Cannot open ", path, ": ", reason, "."), cat("Kan ", path, " niet openen: ", reason, "."),
                cat(path, " kann nicht geöffnet werden: ", reason, "."),
                cat("Impossible d'ouvrir ", path, "\u00A0: ", reason, "."),
                cat("No se puede abrir ", path, ": ", reason, "."));
}

std::string permissionHint()
{
    return pick(" Check the device permissions.", " Controleer de rechten op het apparaat.",
                " Prüfe die Zugriffsrechte des Geräts.", " Vérifiez les autorisations d'accès à l'appareil.",
                " Comprueba los permisos del dispositivo.");
}

std::string stillConnectedHint()
{
    return pick(" Is the device still connected?", " Is het apparaat nog aangesloten?",
                " Ist das Gerät noch angeschlossen?", " L'appareil est-il toujours branché\u00A0?",
                " ¿Sigue conectado el dispositivo?");
}

std::string busy(std::string_view path)
{
    return pick(cat(path, " is already in use by another program (e.g. the Arduino IDE or screen). Close that "
                          "program and try again."),
                cat(path, " wordt al gebruikt door een ander programma (bijv. de Arduino IDE of screen). Sluit dat "
                          "programma en probeer het opnieuw."),
                cat(path, " wird bereits von einem anderen Programm verwendet (z. B. der Arduino IDE oder screen). "
                          "Schließe dieses Programm und versuche es erneut."),
                cat(path, " est déjà utilisé par un autre programme (p. ex. l'IDE Arduino ou screen). Fermez ce "
                          "programme et réessayez."),
                cat(path, " ya está en uso por otro programa (p. ej. el IDE de Arduino o screen). Cierra ese "
                          "programa y vuelve a intentarlo."));
}

std::string configurationFailed(std::string_view step, std::string_view reason)
{
    // The step names are nouns of different gender and case in the other languages, so
    // they go in parentheses there instead of into the sentence.
    return pick(cat("Configuring ", step, " failed: ", reason, "."),
                cat("Configureren mislukt (", step, "): ", reason, "."),
                cat("Konfiguration fehlgeschlagen (", step, "): ", reason, "."),
                cat("Échec de la configuration (", step, ")\u00A0: ", reason, "."),
                cat("Error de configuración (", step, "): ", reason, "."));
}

std::string whatExclusiveAccess()
{
    return pick("exclusive access", "exclusieve toegang", "exklusiver Zugriff", "accès exclusif", "acceso exclusivo");
}

std::string whatReadAttributes()
{
    return pick("reading port attributes", "poortattributen lezen", "Port-Attribute lesen",
                "lecture des attributs du port", "lectura de los atributos del puerto");
}

std::string whatPortSettings()
{
    return pick("port settings", "poortinstellingen", "Port-Einstellungen", "paramètres du port",
                "ajustes del puerto");
}

std::string unsupportedBaud(std::int64_t rate, std::string_view reason)
{
    const std::string value = digits(rate);
    return pick(cat("Baud rate ", value, " is not supported by this device: ", reason, "."),
                cat("Baudrate ", value, " wordt niet ondersteund door dit apparaat: ", reason, "."),
                cat("Baudrate ", value, " wird von diesem Gerät nicht unterstützt: ", reason, "."),
                cat("Le débit ", value, " n'est pas pris en charge par cet appareil\u00A0: ", reason, "."),
                cat("Este dispositivo no admite la velocidad ", value, ": ", reason, "."));
}

std::string notOpen()
{
    return pick("The port is not open.", "De poort is niet geopend.", "Der Port ist nicht geöffnet.",
                "Le port n'est pas ouvert.", "El puerto no está abierto.");
}

std::string readFailed(std::string_view reason)
{
    return pick(cat("Reading from the port failed: ", reason, "."), cat("Lezen van de poort mislukt: ", reason, "."),
                cat("Lesen vom Port fehlgeschlagen: ", reason, "."),
                cat("Échec de la lecture du port\u00A0: ", reason, "."),
                cat("Error al leer del puerto: ", reason, "."));
}

std::string writeFailed(std::string_view reason)
{
    return pick(cat("Sending failed: ", reason, "."), cat("Verzenden mislukt: ", reason, "."),
                cat("Senden fehlgeschlagen: ", reason, "."), cat("Échec de l'envoi\u00A0: ", reason, "."),
                cat("Error al enviar: ", reason, "."));
}

std::string writeTimeout()
{
    return pick("Sending timed out. Check the flow control settings.",
                "Verzenden duurde te lang. Controleer de instellingen voor flowcontrol.",
                "Zeitüberschreitung beim Senden. Prüfe die Einstellungen der Flusssteuerung.",
                "Délai d'envoi dépassé. Vérifiez les paramètres de contrôle de flux.",
                "Se agotó el tiempo de envío. Comprueba los ajustes del control de flujo.");
}

std::string lineControlFailed(std::string_view reason)
{
    return pick(cat("Setting DTR/RTS failed: ", reason, "."), cat("Instellen van DTR/RTS mislukt: ", reason, "."),
                cat("Setzen von DTR/RTS fehlgeschlagen: ", reason, "."),
                cat("Échec du réglage de DTR/RTS\u00A0: ", reason, "."),
                cat("Error al ajustar DTR/RTS: ", reason, "."));
}

std::string deviceDisconnected()
{
    return pick("The device was disconnected.", "Het apparaat is losgekoppeld.", "Das Gerät wurde getrennt.",
                "L'appareil a été déconnecté.", "El dispositivo se ha desconectado.");
}

std::string alertTitle()
{
    return pick("Something went wrong", "Er ging iets mis", "Etwas ist schiefgelaufen",
                "Une erreur s'est produite", "Algo ha salido mal");
}

std::string ok()
{
    return "OK";
}

std::string selectPortFirst()
{
    return pick("Select a serial port first.", "Kies eerst een seriële poort.", "Wähle zuerst einen seriellen Port.",
                "Sélectionnez d'abord un port série.", "Selecciona primero un puerto serie.");
}

std::string messageTooLong(std::int64_t max)
{
    const std::string limit = digits(max);
    return pick(cat("The message is too long (maximum ", limit, " bytes)."),
                cat("Het bericht is te lang (maximaal ", limit, " bytes)."),
                cat("Die Nachricht ist zu lang (maximal ", limit, " Bytes)."),
                cat("Le message est trop long (", limit, " octets maximum)."),
                cat("El mensaje es demasiado largo (máximo ", limit, " bytes)."));
}

std::string saveFailed(std::string_view reason)
{
    return pick(cat("Saving failed: ", reason), cat("Opslaan mislukt: ", reason),
                cat("Speichern fehlgeschlagen: ", reason), cat("Échec de l'enregistrement\u00A0: ", reason),
                cat("Error al guardar: ", reason));
}

}  // namespace Errors

}  // namespace velmora::L10n
