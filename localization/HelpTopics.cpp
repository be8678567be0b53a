#include "localization/HelpTopic.h"
#include "localization/L10n.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Each text of a topic holds its five languages side by side, so that the topics share one
// structure and a translation cannot drop or reorder a block. UI labels are quoted as the
// catalogue writes them in that language; key symbols stay as the catalogue has them, since
// the viewer converts them for the platform in one place.

namespace velmora::L10n::Help {

namespace {

using HelpBlocks::Bullets;
using HelpBlocks::Heading;
using HelpBlocks::Paragraph;
using HelpBlocks::Screenshot;
using HelpBlocks::Table;
using HelpBlocks::Tip;

// Picks the text of the language the topics are being built in; texts come in the order of Language.
class Pick {
public:
    explicit Pick(Language language)
        : index_(static_cast<std::size_t>(language))
    {
    }

    std::string operator()(std::string_view en, std::string_view nl, std::string_view de, std::string_view fr,
                           std::string_view es) const
    {
        const std::array<std::string_view, allLanguages.size()> texts{en, nl, de, fr, es};
        return std::string(texts[index_]);
    }

private:
    std::size_t index_;
};

HelpTopic start(const Pick& pick)
{
    return {"start",
            pick("Getting started", "Aan de slag", "Erste Schritte", "Premiers pas", "Primeros pasos"),
            "play.circle",
            {
                Paragraph{pick(
                    "Velmora is a serial terminal for receiving and sending text and bytes over a serial port, for "
                    "example from an Arduino, ESP32 or USB-to-serial adapter.",
                    "Velmora is een seriële terminal waarmee je tekst en bytes ontvangt en verzendt via een seriële "
                    "poort, bijvoorbeeld van een Arduino, ESP32 of USB-naar-serieel-adapter.",
                    "Velmora ist ein serielles Terminal, mit dem du Text und Bytes über einen seriellen Port "
                    "empfängst und sendest, zum Beispiel von einem Arduino, ESP32 oder USB-Seriell-Adapter.",
                    "Velmora est un terminal série qui permet de recevoir et d'envoyer du texte et des octets par un "
                    "port série, par exemple depuis un Arduino, un ESP32 ou un adaptateur USB-série.",
                    "Velmora es un terminal serie para recibir y enviar texto y bytes a través de un puerto serie, "
                    "por ejemplo desde un Arduino, un ESP32 o un adaptador USB-serie.")},
                Heading{pick("Connect in four steps", "Verbinden in vier stappen", "In vier Schritten verbinden",
                             "Se connecter en quatre étapes", "Conectar en cuatro pasos")},
                Bullets{{
                    pick("Connect your device via USB.", "Sluit je apparaat aan via USB.",
                         "Schließe dein Gerät über USB an.", "Branchez votre appareil en USB.",
                         "Conecta tu dispositivo por USB."),
                    pick("Select the **port** in the teal bar at the top. USB devices are listed first, followed by "
                         "their product name, e.g. `/dev/ttyACM0 — Arduino Uno`.",
                         "Kies de **poort** in de blauwgroene balk bovenaan. USB-apparaten staan eerst in de lijst, "
                         "gevolgd door hun productnaam, bijv. `/dev/ttyACM0 — Arduino Uno`.",
                         "Wähle den **Port** in der petrolfarbenen Leiste oben. USB-Geräte stehen an erster Stelle, "
                         "gefolgt von ihrem Produktnamen, z. B. `/dev/ttyACM0 — Arduino Uno`.",
                         "Choisissez le **port** dans la barre bleu canard en haut. Les appareils USB apparaissent en "
                         "premier, suivis de leur nom de produit, p. ex. `/dev/ttyACM0 — Arduino Uno`.",
                         "Selecciona el **puerto** en la barra verde azulado de arriba. Los dispositivos USB aparecen "
                         "primero, seguidos de su nombre de producto, p. ej. `/dev/ttyACM0 — Arduino Uno`."),
                    pick("Select the same **baud rate** as in your sketch, e.g. `Serial.begin(115200)` → *115200 "
                         "baud*.",
                         "Kies dezelfde **baudrate** als in je sketch, bijv. `Serial.begin(115200)` → *115200 baud*.",
                         "Wähle dieselbe **Baudrate** wie in deinem Sketch, z. B. `Serial.begin(115200)` → *115200 "
                         "baud*.",
                         "Choisissez le même **débit** que dans votre croquis, p. ex. `Serial.begin(115200)` → "
                         "*115200 baud*.",
                         "Selecciona la misma **velocidad** que en tu sketch, p. ej. `Serial.begin(115200)` → "
                         "*115200 baud*."),
                    // The status line is quoted as the output shows it in each language.
                    pick("Click **Connect** (⌘R). The dot turns green and `--- Connected to … ---` appears in the "
                         "output.",
                         "Klik op **Verbinden** (⌘R). De stip wordt groen en `--- Verbonden met … ---` verschijnt in "
                         "de uitvoer.",
                         "Klicke auf **Verbinden** (⌘R). Der Punkt wird grün und `--- Verbunden mit … ---` erscheint "
                         "in der Ausgabe.",
                         "Cliquez sur **Connecter** (⌘R). Le point passe au vert et `--- Connecté à … ---` apparaît "
                         "dans la sortie.",
                         "Haz clic en **Conectar** (⌘R). El punto se vuelve verde y aparece `--- Conectado a … ---` "
                         "en la salida."),
                }},
                Paragraph{pick(
                    "Received data appears in the large output area. Type a message in the input field and press "
                    "**Enter** or click **Send** to send it to the device.",
                    "Ontvangen data verschijnt in het grote uitvoervlak. Typ een bericht in het invoerveld en druk "
                    "op **Enter** of klik op **Verzenden** om het naar het apparaat te sturen.",
                    "Empfangene Daten erscheinen im großen Ausgabebereich. Tippe eine Nachricht in das Eingabefeld "
                    "und drücke **Enter** oder klicke auf **Senden**, um sie an das Gerät zu senden.",
                    "Les données reçues s'affichent dans la grande zone de sortie. Saisissez un message dans le champ "
                    "de saisie et appuyez sur **Entrée** ou cliquez sur **Envoyer** pour l'envoyer à l'appareil.",
                    "Los datos recibidos aparecen en la gran área de salida. Escribe un mensaje en el campo de "
                    "entrada y pulsa **Intro** o haz clic en **Enviar** para enviarlo al dispositivo.")},
                Screenshot{"overview",
                           pick("The main window: sent commands (→, blue) and replies (←) with timestamps.",
                                "Het hoofdvenster: verzonden opdrachten (→, blauw) en antwoorden (←) met "
                                "tijdstempels.",
                                "Das Hauptfenster: gesendete Befehle (→, blau) und Antworten (←) mit Zeitstempeln.",
                                "La fenêtre principale\u00A0: commandes envoyées (→, en bleu) et réponses (←) avec "
                                "horodatage.",
                                "La ventana principal: comandos enviados (→, en azul) y respuestas (←) con marcas "
                                "de tiempo.")},
                Tip{pick("The port list updates automatically. When you plug in a board it is selected right away, "
                         "with its name (for example *Arduino Uno* or *USB serial (CH340)*). Your settings are "
                         "remembered.",
                         "De poortlijst werkt zichzelf bij. Als je een board aansluit, wordt het meteen gekozen, met "
                         "zijn naam (bijvoorbeeld *Arduino Uno* of *USB-serieel (CH340)*). Je instellingen worden "
                         "onthouden.",
                         "Die Portliste aktualisiert sich automatisch. Wenn du ein Board ansteckst, wird es sofort "
                         "ausgewählt, mit seinem Namen (zum Beispiel *Arduino Uno* oder *USB-seriell (CH340)*). "
                         "Deine Einstellungen werden gespeichert.",
                         "La liste des ports se met à jour automatiquement. Quand vous branchez une carte, elle est "
                         "sélectionnée aussitôt, avec son nom (par exemple *Arduino Uno* ou *USB-série (CH340)*). "
                         "Vos paramètres sont mémorisés.",
                         "La lista de puertos se actualiza sola. Cuando conectas una placa, se selecciona al "
                         "instante, con su nombre (por ejemplo *Arduino Uno* o *USB-serie (CH340)*). Tus ajustes "
                         "se recuerdan.")},
            }};
}

HelpTopic port(const Pick& pick)
{
    return {"port",
            pick("Port settings", "Poortinstellingen", "Port-Einstellungen", "Paramètres du port",
                 "Ajustes del puerto"),
            "slider.horizontal.3",
            {
                Heading{pick("Baud rate", "Baudrate", "Baudrate", "Débit", "Velocidad")},
                Paragraph{pick(
                    "Select a standard baud rate from 300 to 2,000,000 in the list. For another value, such as "
                    "31250 for MIDI, use the slider button (`8N1`) under **Custom baud rate**. Values from 50 to "
                    "12,000,000 are accepted; whether a value works depends on your USB-to-serial chip.",
                    "Kies in de lijst een standaardbaudrate van 300 tot 2.000.000. Voor een andere waarde, zoals "
                    "31250 voor MIDI, gebruik je de knop met schuifregelaars (`8N1`) onder **Eigen baudrate**. "
                    "Waarden van 50 tot 12.000.000 worden geaccepteerd; of een waarde werkt, hangt af van je "
                    "USB-naar-serieel-chip.",
                    "Wähle in der Liste eine Standard-Baudrate von 300 bis 2.000.000. Für einen anderen Wert, etwa "
                    "31250 für MIDI, nutze die Schaltfläche mit den Reglern (`8N1`) unter **Eigene Baudrate**. Werte "
                    "von 50 bis 12.000.000 werden akzeptiert; ob ein Wert funktioniert, hängt von deinem "
                    "USB-Seriell-Chip ab.",
                    "Choisissez dans la liste un débit standard de 300 à 2\u00A0000\u00A0000. Pour une autre valeur, "
                    "comme 31250 pour le MIDI, utilisez le bouton à curseurs (`8N1`) sous **Débit personnalisé**. "
                    "Les valeurs de 50 à 12\u00A0000\u00A0000 sont acceptées\u00A0; leur bon fonctionnement dépend "
                    "de votre puce USB-série.",
                    "Selecciona en la lista una velocidad estándar de 300 a 2.000.000. Para otro valor, como 31250 "
                    "para MIDI, usa el botón de controles deslizantes (`8N1`) en **Velocidad personalizada**. Se "
                    "aceptan valores de 50 a 12.000.000; que un valor funcione depende de tu chip USB-serie.")},
                Heading{pick("Frame settings", "Frame-instellingen", "Rahmeneinstellungen", "Paramètres de trame",
                             "Ajustes de trama")},
                Paragraph{pick(
                    "The slider button shows the current setting, e.g. `8N1`: 8 data bits, no parity, 1 stop bit. "
                    "This is the default for almost all Arduino and ESP boards.",
                    "De knop met schuifregelaars toont de huidige instelling, bijv. `8N1`: 8 databits, geen "
                    "pariteit, 1 stopbit. Dit is de standaard voor bijna alle Arduino- en ESP-boards.",
                    "Die Schaltfläche mit den Reglern zeigt die aktuelle Einstellung, z. B. `8N1`: 8 Datenbits, "
                    "keine Parität, 1 Stoppbit. Das ist die Voreinstellung für fast alle Arduino- und ESP-Boards.",
                    "Le bouton à curseurs affiche le paramètre actuel, p. ex. `8N1`\u00A0: 8 bits de données, sans "
                    "parité, 1 bit d'arrêt. C'est le réglage par défaut de presque toutes les cartes Arduino et ESP.",
                    "El botón de controles deslizantes muestra el ajuste actual, p. ej. `8N1`: 8 bits de datos, sin "
                    "paridad, 1 bit de parada. Es el valor predeterminado de casi todas las placas Arduino y ESP.")},
                Table{{
                    {pick("Data bits", "Databits", "Datenbits", "Bits de données", "Bits de datos"), "5, 6, 7, 8"},
                    {pick("Parity", "Pariteit", "Parität", "Parité", "Paridad"),
                     pick("None (N), Even (E), Odd (O)", "Geen (N), Even (E), Oneven (O)",
                          "Keine (N), Gerade (E), Ungerade (O)", "Aucune (N), Paire (E), Impaire (O)",
                          "Ninguna (N), Par (E), Impar (O)")},
                    {pick("Stop bits", "Stopbits", "Stoppbits", "Bits d'arrêt", "Bits de parada"), "1, 2"},
                    {pick("Flow control", "Flowcontrol", "Flusssteuerung", "Contrôle de flux", "Control de flujo"),
                     pick("None, Hardware (RTS/CTS), Software (XON/XOFF)",
                          "Geen, Hardware (RTS/CTS), Software (XON/XOFF)",
                          "Keine, Hardware (RTS/CTS), Software (XON/XOFF)",
                          "Aucun, Matériel (RTS/CTS), Logiciel (XON/XOFF)",
                          "Ninguno, Por hardware (RTS/CTS), Por software (XON/XOFF)")},
                }},
                Paragraph{pick(
                    "If you change a setting while connected, the port is reopened immediately with the new "
                    "setting. **Default (8N1, no flow control)** resets everything in one click.",
                    "Als je een instelling wijzigt terwijl je verbonden bent, wordt de poort direct opnieuw geopend "
                    "met de nieuwe instelling. **Standaard (8N1, geen flowcontrol)** zet alles in één klik terug.",
                    "Änderst du eine Einstellung, während du verbunden bist, wird der Port sofort mit der neuen "
                    "Einstellung neu geöffnet. **Standard (8N1, keine Flusssteuerung)** setzt alles mit einem Klick "
                    "zurück.",
                    "Si vous modifiez un paramètre pendant la connexion, le port est aussitôt rouvert avec le "
                    "nouveau paramètre. **Par défaut (8N1, sans contrôle de flux)** réinitialise tout en un clic.",
                    "Si cambias un ajuste mientras estás conectado, el puerto se vuelve a abrir de inmediato con el "
                    "nuevo ajuste. **Predeterminado (8N1, sin control de flujo)** lo restablece todo con un clic.")},
                Tip{pick("Seeing garbled characters such as `�` or `␀`? The baud rate is almost always wrong. The "
                         "app detects this and offers buttons to quickly try another baud rate.",
                         "Zie je onleesbare tekens zoals `�` of `␀`? Dan klopt de baudrate bijna altijd niet. De app "
                         "herkent dit en biedt knoppen om snel een andere baudrate te proberen.",
                         "Siehst du unlesbare Zeichen wie `�` oder `␀`? Dann stimmt fast immer die Baudrate nicht. "
                         "Die App erkennt das und bietet Schaltflächen, um schnell eine andere Baudrate "
                         "auszuprobieren.",
                         "Vous voyez des caractères illisibles comme `�` ou `␀`\u00A0? Le débit est presque toujours "
                         "incorrect. L'app le détecte et propose des boutons pour essayer rapidement un autre débit.",
                         "¿Ves caracteres ilegibles como `�` o `␀`? Casi siempre la velocidad es incorrecta. La app "
                         "lo detecta y ofrece botones para probar rápidamente otra velocidad.")},
            }};
}

HelpTopic send(const Pick& pick)
{
    return {"send",
            pick("Sending", "Verzenden", "Senden", "Envoi", "Envío"),
            "paperplane",
            {
                Paragraph{pick(
                    "Type in the input field and press **Enter** or click **Send**. Use **↑** and **↓** to browse "
                    "previously sent messages (the last 100).",
                    "Typ in het invoerveld en druk op **Enter** of klik op **Verzenden**. Met **↑** en **↓** blader "
                    "je door eerder verzonden berichten (de laatste 100).",
                    "Tippe in das Eingabefeld und drücke **Enter** oder klicke auf **Senden**. Mit **↑** und **↓** "
                    "blätterst du durch zuvor gesendete Nachrichten (die letzten 100).",
                    "Saisissez votre texte dans le champ de saisie et appuyez sur **Entrée** ou cliquez sur "
                    "**Envoyer**. Utilisez **↑** et **↓** pour parcourir les messages déjà envoyés (les 100 "
                    "derniers).",
                    "Escribe en el campo de entrada y pulsa **Intro** o haz clic en **Enviar**. Usa **↑** y **↓** "
                    "para recorrer los mensajes enviados antes (los últimos 100).")},
                Heading{pick("Text or HEX", "Tekst of HEX", "Text oder HEX", "Texte ou HEX", "Texto o HEX")},
                Paragraph{pick(
                    "The right side of the input field shows what is appended to every message, for example `↵ LF`. "
                    "Click it to choose **Text** or **HEX** (also ⌘⇧H) and set the line ending. In text mode your "
                    "message is sent as UTF-8, followed by the selected line ending.",
                    "Rechts in het invoerveld zie je wat aan elk bericht wordt toegevoegd, bijvoorbeeld `↵ LF`. Klik "
                    "erop om **Tekst** of **HEX** te kiezen (ook ⌘⇧H) en het regeleinde in te stellen. In "
                    "tekstmodus wordt je bericht als UTF-8 verzonden, gevolgd door het gekozen regeleinde.",
                    "Rechts im Eingabefeld siehst du, was an jede Nachricht angehängt wird, zum Beispiel `↵ LF`. "
                    "Klicke darauf, um **Text** oder **HEX** zu wählen (auch ⌘⇧H) und das Zeilenende einzustellen. "
                    "Im Textmodus wird deine Nachricht als UTF-8 gesendet, gefolgt vom gewählten Zeilenende.",
                    "La partie droite du champ de saisie indique ce qui est ajouté à chaque message, par exemple "
                    "`↵ LF`. Cliquez dessus pour choisir **Texte** ou **HEX** (aussi ⌘⇧H) et régler la fin de "
                    "ligne. En mode texte, votre message est envoyé en UTF-8, suivi de la fin de ligne choisie.",
                    "La parte derecha del campo de entrada muestra lo que se añade a cada mensaje, por ejemplo "
                    "`↵ LF`. Haz clic ahí para elegir **Texto** o **HEX** (también ⌘⇧H) y ajustar el final de "
                    "línea. En modo texto, tu mensaje se envía como UTF-8, seguido del final de línea elegido.")},
                Heading{pick("Line ending (text mode only)", "Regeleinde (alleen tekstmodus)",
                             "Zeilenende (nur im Textmodus)", "Fin de ligne (mode texte uniquement)",
                             "Final de línea (solo modo texto)")},
                Table{{
                    {pick("No line ending", "Geen regeleinde", "Kein Zeilenende", "Aucune fin de ligne",
                          "Sin final de línea"),
                     pick("Only your text", "Alleen je tekst", "Nur dein Text", "Uniquement votre texte",
                          "Solo tu texto")},
                    {pick("New line (LF)", "Nieuwe regel (LF)", "Zeilenvorschub (LF)", "Saut de ligne (LF)",
                          "Nueva línea (LF)"),
                     pick("Appends `0A`; most common with `Serial.readStringUntil('\\n')`",
                          "Voegt `0A` toe; het meest gebruikt met `Serial.readStringUntil('\\n')`",
                          "Hängt `0A` an; am häufigsten mit `Serial.readStringUntil('\\n')`",
                          "Ajoute `0A`\u00A0; le plus courant avec `Serial.readStringUntil('\\n')`",
                          "Añade `0A`; lo más habitual con `Serial.readStringUntil('\\n')`")},
                    {pick("Carriage return (CR)", "Wagenterugloop (CR)", "Wagenrücklauf (CR)", "Retour chariot (CR)",
                          "Retorno de carro (CR)"),
                     pick("Appends `0D`", "Voegt `0D` toe", "Hängt `0D` an", "Ajoute `0D`", "Añade `0D`")},
                    {pick("Both NL & CR (CRLF)", "Zowel NL als CR (CRLF)", "Sowohl NL als auch CR (CRLF)",
                          "Les deux, NL et CR (CRLF)", "Ambos, NL y CR (CRLF)"),
                     pick("Appends `0D 0A`; common for AT commands", "Voegt `0D 0A` toe; gebruikelijk bij "
                          "AT-commando's", "Hängt `0D 0A` an; üblich bei AT-Befehlen",
                          "Ajoute `0D 0A`\u00A0; courant pour les commandes AT",
                          "Añade `0D 0A`; habitual en comandos AT")},
                }},
                Heading{pick("HEX input", "HEX-invoer", "HEX-Eingabe", "Saisie HEX", "Entrada HEX")},
                Paragraph{pick(
                    "In HEX mode you type bytes. All of these notations are accepted and can be mixed:",
                    "In HEX-modus typ je bytes. Al deze schrijfwijzen worden geaccepteerd en mogen door elkaar "
                    "staan:",
                    "Im HEX-Modus tippst du Bytes. Alle diese Schreibweisen werden akzeptiert und lassen sich "
                    "mischen:",
                    "En mode HEX, vous saisissez des octets. Toutes ces notations sont acceptées et peuvent être "
                    "combinées\u00A0:",
                    "En modo HEX escribes bytes. Se aceptan todas estas notaciones, y se pueden combinar:")},
                Table{{
                    {"`01 03 00 0A`", pick("Separated by spaces", "Gescheiden door spaties",
                                           "Durch Leerzeichen getrennt", "Séparés par des espaces",
                                           "Separados por espacios")},
                    {"`0103000A`", pick("Consecutive pairs", "Aaneengesloten paren", "Aufeinanderfolgende Paare",
                                        "Paires à la suite", "Pares consecutivos")},
                    {"`0x01,0x03`", pick("C style with commas", "C-stijl met komma's", "C-Stil mit Kommas",
                                         "Style C avec virgules", "Estilo C con comas")},
                    {"`01:03-0A`", pick("Colon or dash", "Dubbele punt of streepje", "Doppelpunkt oder Bindestrich",
                                        "Deux-points ou tiret", "Dos puntos o guion")},
                    {"`A`", pick("A single digit becomes `0A`", "Een enkel cijfer wordt `0A`",
                                 "Eine einzelne Ziffer wird zu `0A`", "Un seul chiffre devient `0A`",
                                 "Una sola cifra se convierte en `0A`")},
                }},
                Paragraph{pick(
                    "Errors are shown right below the input field, and the Send button is disabled until they are "
                    "fixed. In HEX mode **no** line ending is appended: type `0D 0A` yourself if your device expects "
                    "it.",
                    "Fouten verschijnen direct onder het invoerveld, en de knop Verzenden blijft uitgeschakeld tot ze "
                    "zijn opgelost. In HEX-modus wordt **geen** regeleinde toegevoegd: typ zelf `0D 0A` als je "
                    "apparaat dat verwacht.",
                    "Fehler werden direkt unter dem Eingabefeld angezeigt, und die Schaltfläche Senden bleibt "
                    "deaktiviert, bis sie behoben sind. Im HEX-Modus wird **kein** Zeilenende angehängt: Tippe "
                    "`0D 0A` selbst, wenn dein Gerät es erwartet.",
                    "Les erreurs s'affichent juste sous le champ de saisie, et le bouton Envoyer reste désactivé "
                    "jusqu'à leur correction. En mode HEX, **aucune** fin de ligne n'est ajoutée\u00A0: saisissez "
                    "vous-même `0D 0A` si votre appareil l'attend.",
                    "Los errores se muestran justo debajo del campo de entrada, y el botón Enviar queda desactivado "
                    "hasta que se corrijan. En modo HEX **no** se añade ningún final de línea: escribe tú mismo "
                    "`0D 0A` si tu dispositivo lo espera.")},
                Tip{pick("With **Echo sent** on (in the display options at the bottom of the window), what you send "
                         "is shown in blue with `→`, including the line ending (`→ Hello<LF>`), and received lines "
                         "get `←`. The right side of the input field always shows which line ending is appended "
                         "(`↵ LF`). A message can be at most 4096 bytes.",
                         "Met **Verzonden tonen** aan (in de weergaveopties onderaan het venster) zie je wat je "
                         "verzendt in blauw met `→`, inclusief het regeleinde (`→ Hello<LF>`), en krijgen ontvangen "
                         "regels `←`. Rechts in het invoerveld zie je altijd welk regeleinde wordt toegevoegd "
                         "(`↵ LF`). Een bericht is maximaal 4096 bytes.",
                         "Mit **Gesendetes anzeigen** (in den Anzeigeoptionen unten im Fenster) erscheint, was du "
                         "sendest, in Blau mit `→`, samt Zeilenende (`→ Hello<LF>`), und empfangene Zeilen bekommen "
                         "`←`. Rechts im Eingabefeld siehst du immer, welches Zeilenende angehängt wird (`↵ LF`). "
                         "Eine Nachricht darf höchstens 4096 Bytes lang sein.",
                         "Avec **Écho des envois** activé (dans les options d'affichage en bas de la fenêtre), ce "
                         "que vous envoyez s'affiche en bleu avec `→`, fin de ligne comprise (`→ Hello<LF>`), et les "
                         "lignes reçues commencent par `←`. La partie droite du champ de saisie indique toujours la "
                         "fin de ligne ajoutée (`↵ LF`). Un message fait au plus 4096 octets.",
                         "Con **Eco de lo enviado** activado (en las opciones de visualización, en la parte inferior "
                         "de la ventana), lo que envías se muestra en azul con `→`, incluido el final de línea "
                         "(`→ Hello<LF>`), y las líneas recibidas llevan `←`. La parte derecha del campo de entrada "
                         "siempre muestra qué final de línea se añade (`↵ LF`). Un mensaje puede tener como máximo "
                         "4096 bytes.")},
            }};
}

HelpTopic display(const Pick& pick)
{
    return {"display",
            pick("Display", "Weergave", "Anzeige", "Affichage", "Visualización"),
            "textformat.123",
            {
                Paragraph{pick(
                    "Choose under **Display** at the bottom how received data is shown, or use ⌘1 to ⌘6. A new "
                    "choice applies to data received afterwards; existing output stays unchanged.",
                    "Kies onderaan onder **Weergave** hoe ontvangen data wordt getoond, of gebruik ⌘1 tot ⌘6. Een "
                    "nieuwe keuze geldt voor data die daarna binnenkomt; bestaande uitvoer blijft ongewijzigd.",
                    "Wähle unten unter **Anzeige**, wie empfangene Daten dargestellt werden, oder nutze ⌘1 bis ⌘6. "
                    "Eine neue Wahl gilt für danach empfangene Daten; die bisherige Ausgabe bleibt unverändert.",
                    "Choisissez en bas, sous **Affichage**, comment les données reçues sont présentées, ou utilisez "
                    "⌘1 à ⌘6. Un nouveau choix s'applique aux données reçues ensuite\u00A0; la sortie existante "
                    "reste inchangée.",
                    "Elige abajo, en **Visualización**, cómo se muestran los datos recibidos, o usa ⌘1 a ⌘6. Una "
                    "nueva elección se aplica a los datos que lleguen después; la salida existente no cambia.")},
                // The sample data is what the device sends, so it reads the same in every language.
                Table{{
                    {pick("⌘1 Text (UTF-8)", "⌘1 Tekst (UTF-8)", "⌘1 Text (UTF-8)", "⌘1 Texte (UTF-8)",
                          "⌘1 Texto (UTF-8)"),
                     "`Hello`"},
                    {"⌘2 HEX", "`48 65 6C 6C 6F 0D 0A`"},
                    {pick("⌘3 HEX + ASCII (dump)", "⌘3 HEX + ASCII (dump)", "⌘3 HEX + ASCII (Dump)",
                          "⌘3 HEX + ASCII (vidage)", "⌘3 HEX + ASCII (volcado)"),
                     "`00000000  48 65 6C 6C 6F 0D 0A  |Hello..|`"},
                    {pick("⌘4 Decimal", "⌘4 Decimaal", "⌘4 Dezimal", "⌘4 Décimal", "⌘4 Decimal"),
                     "` 72 101 108 108 111`"},
                    {pick("⌘5 Binary", "⌘5 Binair", "⌘5 Binär", "⌘5 Binaire", "⌘5 Binario"),
                     "`01001000 01100101`"},
                    {pick("⌘6 ASCII with control codes", "⌘6 ASCII met stuurcodes", "⌘6 ASCII mit Steuerzeichen",
                          "⌘6 ASCII avec codes de contrôle", "⌘6 ASCII con códigos de control"),
                     "`Hello<CR><LF>`"},
                }},
                Screenshot{"hex-dump",
                           pick("HEX + ASCII (dump): offset, bytes and the readable characters per line.",
                                "HEX + ASCII (dump): offset, bytes en de leesbare tekens per regel.",
                                "HEX + ASCII (Dump): Offset, Bytes und die lesbaren Zeichen pro Zeile.",
                                "HEX + ASCII (vidage)\u00A0: décalage, octets et caractères lisibles par ligne.",
                                "HEX + ASCII (volcado): desplazamiento, bytes y los caracteres legibles por "
                                "línea.")},
                Heading{pick("Text mode", "Tekstmodus", "Textmodus", "Mode texte", "Modo texto")},
                Paragraph{pick(
                    "CR, LF and CRLF are all shown as a single new line. Control characters are made visible (`␀`, "
                    "`␇`), ANSI colour codes are removed and invalid UTF-8 becomes `�`.",
                    "CR, LF en CRLF worden allemaal als één nieuwe regel getoond. Stuurtekens worden zichtbaar "
                    "gemaakt (`␀`, `␇`), ANSI-kleurcodes worden verwijderd en ongeldige UTF-8 wordt `�`.",
                    "CR, LF und CRLF werden alle als eine einzige neue Zeile dargestellt. Steuerzeichen werden "
                    "sichtbar gemacht (`␀`, `␇`), ANSI-Farbcodes entfernt und ungültiges UTF-8 wird zu `�`.",
                    "CR, LF et CRLF donnent tous un simple saut de ligne. Les caractères de contrôle sont rendus "
                    "visibles (`␀`, `␇`), les codes couleur ANSI sont supprimés et l'UTF-8 invalide devient `�`.",
                    "CR, LF y CRLF se muestran todos como una sola línea nueva. Los caracteres de control se hacen "
                    "visibles (`␀`, `␇`), los códigos de color ANSI se eliminan y el UTF-8 no válido se convierte "
                    "en `�`.")},
                Heading{pick("Options for byte modes", "Opties voor bytemodi", "Optionen der Byte-Modi",
                             "Options des modes octets", "Opciones de los modos de bytes")},
                Paragraph{pick("Via the slider button next to the display menu:",
                               "Via de knop met schuifregelaars naast het weergavemenu:",
                               "Über die Schaltfläche mit den Reglern neben dem Anzeigemenü:",
                               "Par le bouton à curseurs à côté du menu d'affichage\u00A0:",
                               "Desde el botón de controles deslizantes junto al menú de visualización:")},
                Bullets{{
                    pick("**Bytes per line**: 8, 16 or 32 (HEX, dump, decimal, binary).",
                         "**Bytes per regel**: 8, 16 of 32 (HEX, dump, decimaal, binair).",
                         "**Bytes pro Zeile**: 8, 16 oder 32 (HEX, Dump, dezimal, binär).",
                         "**Octets par ligne**\u00A0: 8, 16 ou 32 (HEX, vidage, décimal, binaire).",
                         "**Bytes por línea**: 8, 16 o 32 (HEX, volcado, decimal, binario)."),
                    pick("**New line after LF**: start a new line after byte `0A`, useful when your device sends "
                         "text lines.",
                         "**Nieuwe regel na LF**: begin een nieuwe regel na byte `0A`, handig als je apparaat "
                         "tekstregels stuurt.",
                         "**Neue Zeile nach LF**: beginnt nach Byte `0A` eine neue Zeile, nützlich, wenn dein Gerät "
                         "Textzeilen sendet.",
                         "**Nouvelle ligne après LF**\u00A0: commence une nouvelle ligne après l'octet `0A`, utile "
                         "quand votre appareil envoie des lignes de texte.",
                         "**Nueva línea tras LF**: empieza una línea nueva tras el byte `0A`, útil cuando tu "
                         "dispositivo envía líneas de texto."),
                    pick("**New line after pause**: start a new line when nothing arrived for 10–1000 ms. This puts "
                         "each packet of a binary protocol such as Modbus RTU on its own line.",
                         "**Nieuwe regel na pauze**: begin een nieuwe regel als er 10–1000 ms niets binnenkwam. Zo "
                         "staat elk pakket van een binair protocol zoals Modbus RTU op een eigen regel.",
                         "**Neue Zeile nach Pause**: beginnt eine neue Zeile, wenn 10–1000 ms lang nichts ankam. So "
                         "steht jedes Paket eines binären Protokolls wie Modbus RTU in einer eigenen Zeile.",
                         "**Nouvelle ligne après une pause**\u00A0: commence une nouvelle ligne quand rien n'est "
                         "arrivé pendant 10–1000 ms. Chaque paquet d'un protocole binaire comme Modbus RTU se "
                         "retrouve ainsi sur sa propre ligne.",
                         "**Nueva línea tras una pausa**: empieza una línea nueva cuando no llega nada durante "
                         "10–1000 ms. Así cada paquete de un protocolo binario como Modbus RTU queda en su propia "
                         "línea."),
                }},
                Paragraph{pick(
                    "A line that is not yet full is shown immediately and grows as data arrives. Offsets and control "
                    "codes are grey so the data itself stands out.",
                    "Een regel die nog niet vol is, wordt direct getoond en groeit mee als er data binnenkomt. "
                    "Offsets en stuurcodes zijn grijs, zodat de data zelf opvalt.",
                    "Eine noch nicht volle Zeile wird sofort angezeigt und wächst mit, während Daten ankommen. "
                    "Offsets und Steuerzeichen sind grau, damit die Daten selbst hervortreten.",
                    "Une ligne pas encore pleine s'affiche aussitôt et s'allonge à mesure que les données arrivent. "
                    "Les décalages et les codes de contrôle sont en gris pour que les données elles-mêmes "
                    "ressortent.",
                    "Una línea que aún no está completa se muestra de inmediato y crece a medida que llegan datos. "
                    "Los desplazamientos y los códigos de control aparecen en gris para que los datos destaquen.")},
            }};
}

HelpTopic output(const Pick& pick)
{
    return {"output",
            pick("Output", "Uitvoer", "Ausgabe", "Sortie", "Salida"),
            "text.alignleft",
            {
                Paragraph{pick(
                    "Autoscroll, timestamp and echo are under the slider button next to the display menu at the "
                    "bottom of the window. Autoscroll and timestamp are also in the Serial Port menu.",
                    "Automatisch scrollen, tijdstempel en echo vind je onder de knop met schuifregelaars naast het "
                    "weergavemenu onderaan het venster. Automatisch scrollen en tijdstempel staan ook in het menu "
                    "Seriële poort.",
                    "Automatisches Scrollen, Zeitstempel und Echo findest du unter der Schaltfläche mit den Reglern "
                    "neben dem Anzeigemenü unten im Fenster. Automatisches Scrollen und Zeitstempel gibt es auch im "
                    "Menü Serieller Port.",
                    "Le défilement automatique, l'horodatage et l'écho se trouvent sous le bouton à curseurs, à côté "
                    "du menu d'affichage en bas de la fenêtre. Le défilement automatique et l'horodatage figurent "
                    "aussi dans le menu Port série.",
                    "El desplazamiento automático, la marca de tiempo y el eco están en el botón de controles "
                    "deslizantes, junto al menú de visualización en la parte inferior de la ventana. El "
                    "desplazamiento automático y la marca de tiempo también están en el menú Puerto serie.")},
                Bullets{{
                    pick("**Autoscroll**: keeps jumping to the newest data. Turn off to read back calmly.",
                         "**Automatisch scrollen**: springt steeds naar de nieuwste data. Zet het uit om rustig "
                         "terug te lezen.",
                         "**Automatisch scrollen**: springt immer zu den neuesten Daten. Schalte es aus, um in Ruhe "
                         "zurückzulesen.",
                         "**Défilement automatique**\u00A0: saute sans cesse aux données les plus récentes. "
                         "Désactivez-le pour relire tranquillement.",
                         "**Desplazamiento automático**: salta siempre a los datos más recientes. Desactívalo para "
                         "releer con calma."),
                    pick("**Show timestamp**: prefixes each line with `12:34:56.789 -> `; with Echo on this becomes "
                         "`12:34:56.789 ←` (received) or `→` (sent).",
                         "**Tijdstempel tonen**: zet `12:34:56.789 -> ` voor elke regel; met echo aan wordt dat "
                         "`12:34:56.789 ←` (ontvangen) of `→` (verzonden).",
                         "**Zeitstempel anzeigen**: stellt jeder Zeile `12:34:56.789 -> ` voran; mit Echo wird "
                         "daraus `12:34:56.789 ←` (empfangen) oder `→` (gesendet).",
                         "**Afficher l'horodatage**\u00A0: ajoute `12:34:56.789 -> ` au début de chaque "
                         "ligne\u00A0; avec l'écho activé, cela devient `12:34:56.789 ←` (reçu) ou `→` (envoyé).",
                         "**Mostrar marca de tiempo**: antepone `12:34:56.789 -> ` a cada línea; con el eco "
                         "activado pasa a ser `12:34:56.789 ←` (recibido) o `→` (enviado)."),
                    pick("**Find** (⌘F): search the output.", "**Zoeken** (⌘F): zoek in de uitvoer.",
                         "**Suchen** (⌘F): durchsuche die Ausgabe.",
                         "**Rechercher** (⌘F)\u00A0: cherchez dans la sortie.", "**Buscar** (⌘F): busca en la salida."),
                    pick("**Save…** (⌘S): save the output as a text file.",
                         "**Opslaan…** (⌘S): sla de uitvoer op als tekstbestand.",
                         "**Speichern…** (⌘S): speichere die Ausgabe als Textdatei.",
                         "**Enregistrer…** (⌘S)\u00A0: enregistrez la sortie dans un fichier texte.",
                         "**Guardar…** (⌘S): guarda la salida como archivo de texto."),
                    pick("**Clear output** (⌘K): clears the window and the counters.",
                         "**Uitvoer wissen** (⌘K): wist het venster en de tellers.",
                         "**Ausgabe löschen** (⌘K): leert das Fenster und die Zähler.",
                         "**Effacer la sortie** (⌘K)\u00A0: efface la fenêtre et les compteurs.",
                         "**Borrar la salida** (⌘K): borra la ventana y los contadores."),
                }},
                Paragraph{pick(
                    "At the bottom right you can see how many bytes were received (**RX**) and sent (**TX**). "
                    "Status lines such as `--- Connected to … ---` are shown in teal so you won't confuse them with "
                    "data from your device.",
                    "Rechtsonder zie je hoeveel bytes er zijn ontvangen (**RX**) en verzonden (**TX**). Statusregels "
                    "zoals `--- Verbonden met … ---` zijn blauwgroen, zodat je ze niet verwart met data van je "
                    "apparaat.",
                    "Unten rechts siehst du, wie viele Bytes empfangen (**RX**) und gesendet (**TX**) wurden. "
                    "Statuszeilen wie `--- Verbunden mit … ---` erscheinen in Petrol, damit du sie nicht mit Daten "
                    "deines Geräts verwechselst.",
                    "En bas à droite, vous voyez combien d'octets ont été reçus (**RX**) et envoyés (**TX**). Les "
                    "lignes d'état comme `--- Connecté à … ---` sont en bleu canard pour ne pas les confondre avec "
                    "les données de votre appareil.",
                    "Abajo a la derecha ves cuántos bytes se han recibido (**RX**) y enviado (**TX**). Las líneas de "
                    "estado como `--- Conectado a … ---` aparecen en verde azulado para que no las confundas con "
                    "datos de tu dispositivo.")},
                Heading{pick("Notices in the output", "Meldingen in de uitvoer", "Hinweise in der Ausgabe",
                             "Avis dans la sortie", "Avisos en la salida")},
                Bullets{{
                    pick("When the display is not set to Text, the top right shows which mode is active. Click it to "
                         "switch back to text.",
                         "Als de weergave niet op Tekst staat, zie je rechtsboven welke modus actief is. Klik erop om "
                         "terug te schakelen naar tekst.",
                         "Steht die Anzeige nicht auf Text, siehst du oben rechts, welcher Modus aktiv ist. Klicke "
                         "darauf, um zurück zu Text zu wechseln.",
                         "Quand l'affichage n'est pas réglé sur Texte, le coin supérieur droit indique le mode actif. "
                         "Cliquez dessus pour revenir au texte.",
                         "Cuando la visualización no está en Texto, arriba a la derecha se ve qué modo está activo. "
                         "Haz clic ahí para volver a texto."),
                    pick("If nothing arrives within 5 seconds after connecting, you get a hint to check your sketch "
                         "and the baud rate.",
                         "Als er binnen 5 seconden na het verbinden niets binnenkomt, krijg je een hint om je sketch "
                         "en de baudrate te controleren.",
                         "Kommt innerhalb von 5 Sekunden nach dem Verbinden nichts an, bekommst du einen Hinweis, "
                         "deinen Sketch und die Baudrate zu prüfen.",
                         "Si rien n'arrive dans les 5 secondes suivant la connexion, un conseil vous invite à "
                         "vérifier votre croquis et le débit.",
                         "Si no llega nada en los 5 segundos siguientes a la conexión, recibes una sugerencia para "
                         "revisar tu sketch y la velocidad."),
                    pick("If the received data looks like noise, the app suggests trying another baud rate.",
                         "Als de ontvangen data op ruis lijkt, stelt de app voor een andere baudrate te proberen.",
                         "Sehen die empfangenen Daten wie Rauschen aus, schlägt die App vor, eine andere Baudrate "
                         "auszuprobieren.",
                         "Si les données reçues ressemblent à du bruit, l'app propose d'essayer un autre débit.",
                         "Si los datos recibidos parecen ruido, la app sugiere probar otra velocidad."),
                }},
                Tip{pick("The output keeps roughly the last 2 million characters; older lines are discarded "
                         "automatically. Save regularly if you need a long log.",
                         "De uitvoer bewaart ongeveer de laatste 2 miljoen tekens; oudere regels worden automatisch "
                         "verwijderd. Sla regelmatig op als je een lang logboek nodig hebt.",
                         "Die Ausgabe behält etwa die letzten 2 Millionen Zeichen; ältere Zeilen werden automatisch "
                         "verworfen. Speichere regelmäßig, wenn du ein langes Protokoll brauchst.",
                         "La sortie conserve environ les 2 derniers millions de caractères\u00A0; les lignes plus "
                         "anciennes sont supprimées automatiquement. Enregistrez régulièrement si vous avez besoin "
                         "d'un long journal.",
                         "La salida conserva aproximadamente los últimos 2 millones de caracteres; las líneas más "
                         "antiguas se descartan automáticamente. Guarda con regularidad si necesitas un registro "
                         "largo.")},
            }};
}

HelpTopic plotter(const Pick& pick)
{
    return {"plotter",
            pick("Plotter", "Plotter", "Plotter", "Traceur", "Trazador"),
            "chart.xyaxis.line",
            {
                Paragraph{pick(
                    "Click **Plotter** (⌘⇧L) to see numbers from the received data as a graph. The text output "
                    "stays visible below it; drag the divider to resize the two.",
                    "Klik op **Plotter** (⌘⇧L) om getallen uit de ontvangen data als grafiek te zien. De "
                    "tekstuitvoer blijft eronder zichtbaar; sleep de scheidingslijn om beide groter of kleiner te "
                    "maken.",
                    "Klicke auf **Plotter** (⌘⇧L), um Zahlen aus den empfangenen Daten als Diagramm zu sehen. Die "
                    "Textausgabe bleibt darunter sichtbar; ziehe die Trennlinie, um die Größe der beiden zu ändern.",
                    "Cliquez sur **Traceur** (⌘⇧L) pour voir les nombres des données reçues sous forme de graphique. "
                    "La sortie texte reste visible en dessous\u00A0; faites glisser le séparateur pour redimensionner "
                    "les deux.",
                    "Haz clic en **Trazador** (⌘⇧L) para ver los números de los datos recibidos como gráfico. La "
                    "salida de texto sigue visible debajo; arrastra el divisor para cambiar el tamaño de ambas.")},
                Screenshot{"plotter-cards",
                           pick("The Cards layout: the current value and a small chart for every value.",
                                "De indeling Kaarten: de actuele waarde en een kleine grafiek voor elke waarde.",
                                "Das Layout Karten: der aktuelle Wert und ein kleines Diagramm für jeden Wert.",
                                "La disposition Cartes\u00A0: la valeur actuelle et un petit graphique pour chaque "
                                "valeur.",
                                "El diseño Tarjetas: el valor actual y un pequeño gráfico para cada valor.")},
                Paragraph{pick(
                    "Send **one line per measurement**. Every line becomes a point on the graph; every value in the "
                    "line becomes its own line. These forms are recognised and can be mixed:",
                    "Stuur **één regel per meting**. Elke regel wordt een punt in de grafiek; elke waarde in de "
                    "regel wordt een eigen lijn. Deze vormen worden herkend en mogen door elkaar staan:",
                    "Sende **eine Zeile pro Messung**. Jede Zeile wird ein Punkt im Diagramm; jeder Wert in der "
                    "Zeile wird zu einer eigenen Linie. Diese Formen werden erkannt und lassen sich mischen:",
                    "Envoyez **une ligne par mesure**. Chaque ligne devient un point du graphique\u00A0; chaque "
                    "valeur de la ligne devient sa propre courbe. Ces formes sont reconnues et peuvent être "
                    "combinées\u00A0:",
                    "Envía **una línea por medición**. Cada línea se convierte en un punto del gráfico; cada valor "
                    "de la línea se convierte en su propia línea. Se reconocen estas formas, y se pueden combinar:")},
                // The samples are lines a device sends, so they stay as they are in every language.
                Table{{
                    {"`21 -3 1500`", pick("Numbers separated by spaces", "Getallen gescheiden door spaties",
                                          "Zahlen durch Leerzeichen getrennt", "Nombres séparés par des espaces",
                                          "Números separados por espacios")},
                    {"`21.5,40,1013`", pick("CSV: separated by commas", "CSV: gescheiden door komma's",
                                            "CSV: durch Kommas getrennt", "CSV\u00A0: séparés par des virgules",
                                            "CSV: separados por comas")},
                    {"`21,5;40,2`",
                     pick("Semicolon or tab: a comma may then be the decimal separator",
                          "Puntkomma of tab: een komma mag dan het decimaalteken zijn",
                          "Semikolon oder Tab: Dann darf ein Komma das Dezimaltrennzeichen sein",
                          "Point-virgule ou tabulation\u00A0: la virgule peut alors être le séparateur décimal",
                          "Punto y coma o tabulador: la coma puede ser entonces el separador decimal")},
                    {"`temp:21.5 hum:40`",
                     pick("With names, as in the Arduino IDE (also `temp=21.5`)",
                          "Met namen, zoals in de Arduino IDE (ook `temp=21.5`)",
                          "Mit Namen, wie in der Arduino IDE (auch `temp=21.5`)",
                          "Avec des noms, comme dans l'IDE Arduino (aussi `temp=21.5`)",
                          "Con nombres, como en el IDE de Arduino (también `temp=21.5`)")},
                    {"`Temp 21.5`", pick("A word before a number becomes its name",
                                         "Een woord voor een getal wordt de naam ervan",
                                         "Ein Wort vor einer Zahl wird ihr Name", "Un mot devant un nombre devient son nom",
                                         "Una palabra delante de un número se convierte en su nombre")},
                    {"`temp,hum,druk`", pick("CSV header line: names the columns", "CSV-kopregel: geeft de kolommen "
                                             "een naam", "CSV-Kopfzeile: benennt die Spalten",
                                             "Ligne d'en-tête CSV\u00A0: nomme les colonnes",
                                             "Línea de cabecera CSV: da nombre a las columnas")},
                }},
                Paragraph{pick(
                    "Numbers can be integers or decimals, negative, with an exponent (`1.5e-3`), HEX (`0x1F`) or "
                    "binary (`0b1010`). Lines without numbers are skipped.",
                    "Getallen mogen gehele of decimale getallen zijn, negatief, met exponent (`1.5e-3`), HEX "
                    "(`0x1F`) of binair (`0b1010`). Regels zonder getallen worden overgeslagen.",
                    "Zahlen können ganze Zahlen oder Dezimalzahlen sein, negativ, mit Exponent (`1.5e-3`), HEX "
                    "(`0x1F`) oder binär (`0b1010`). Zeilen ohne Zahlen werden übersprungen.",
                    "Les nombres peuvent être entiers ou décimaux, négatifs, avec un exposant (`1.5e-3`), en HEX "
                    "(`0x1F`) ou en binaire (`0b1010`). Les lignes sans nombre sont ignorées.",
                    "Los números pueden ser enteros o decimales, negativos, con exponente (`1.5e-3`), HEX (`0x1F`) "
                    "o binarios (`0b1010`). Las líneas sin números se omiten.")},
                Heading{pick("Controls", "Bediening", "Bedienung", "Commandes", "Controles")},
                Bullets{{
                    pick("Click a name in the legend to hide or show that line. The latest value is shown after the "
                         "name.",
                         "Klik op een naam in de legenda om die lijn te verbergen of te tonen. De laatste waarde "
                         "staat achter de naam.",
                         "Klicke auf einen Namen in der Legende, um diese Linie aus- oder einzublenden. Der neueste "
                         "Wert steht hinter dem Namen.",
                         "Cliquez sur un nom dans la légende pour masquer ou afficher cette courbe. La dernière "
                         "valeur s'affiche après le nom.",
                         "Haz clic en un nombre de la leyenda para ocultar o mostrar esa línea. El último valor "
                         "aparece después del nombre."),
                    pick("The options below are behind the slider button in the plotter toolbar.",
                         "De opties hieronder zitten achter de knop met schuifregelaars in de werkbalk van de "
                         "plotter.",
                         "Die folgenden Optionen findest du hinter der Schaltfläche mit den Reglern in der "
                         "Plotter-Symbolleiste.",
                         "Les options ci-dessous se trouvent derrière le bouton à curseurs de la barre d'outils du "
                         "traceur.",
                         "Las opciones siguientes están en el botón de controles deslizantes de la barra de "
                         "herramientas del trazador."),
                    pick("**Points** sets how many measurements are visible (100 to 5000).",
                         "**Punten** bepaalt hoeveel metingen zichtbaar zijn (100 tot 5000).",
                         "**Punkte** legt fest, wie viele Messwerte sichtbar sind (100 bis 5000).",
                         "**Points** règle le nombre de mesures visibles (100 à 5000).",
                         "**Puntos** fija cuántas mediciones se ven (de 100 a 5000)."),
                    pick("**Min/max/avg** shows the minimum, maximum and average of the visible measurements (the "
                         "last *Points*) for each line (top right, in the header line or on the card, depending on "
                         "the layout). The values update live and include short peaks.",
                         "**Min/max/gem** toont per lijn het minimum, maximum en gemiddelde van de zichtbare metingen "
                         "(de laatste *Punten*) (rechtsboven, in de kopregel of op de kaart, afhankelijk van de "
                         "indeling). De waarden worden live bijgewerkt en nemen korte pieken mee.",
                         "**Min/Max/Mittel** zeigt für jede Linie Minimum, Maximum und Mittelwert der sichtbaren "
                         "Messwerte (der letzten *Punkte*) (oben rechts, in der Kopfzeile oder auf der Karte, je nach "
                         "Layout). Die Werte werden live aktualisiert und erfassen auch kurze Spitzen.",
                         "**Min/max/moy** affiche pour chaque courbe le minimum, le maximum et la moyenne des mesures "
                         "visibles (les derniers *Points*) (en haut à droite, dans la ligne d'en-tête ou sur la "
                         "carte, selon la disposition). Les valeurs se mettent à jour en direct et tiennent compte "
                         "des pics brefs.",
                         "**Mín/máx/media** muestra para cada línea el mínimo, el máximo y la media de las mediciones "
                         "visibles (los últimos *Puntos*) (arriba a la derecha, en la línea de cabecera o en la "
                         "tarjeta, según el diseño). Los valores se actualizan en directo e incluyen picos breves."),
                    pick("**Layout** sets how lines are shown:\n"
                         "• *One chart*: all lines on one scale.\n"
                         "• *Stacked*: each line in its own chart with its own Y axis. Useful when values differ a "
                         "lot (for example 0–5 V next to an ADC reading up to 4095); otherwise the small line looks "
                         "flat.\n"
                         "• *Cards*: an overview with the current value and a small chart per measurement. Ideal for "
                         "many values. Click a card to enlarge it; browse with ← and →, close with Esc.\n"
                         "The app suggests a layout when lines look flat because of the scale.",
                         "**Indeling** bepaalt hoe lijnen worden getoond:\n"
                         "• *Eén grafiek*: alle lijnen op één schaal.\n"
                         "• *Onder elkaar*: elke lijn in een eigen grafiek met een eigen Y-as. Handig als waarden "
                         "sterk verschillen (bijvoorbeeld 0–5 V naast een ADC-waarde tot 4095); anders lijkt de "
                         "kleine lijn vlak.\n"
                         "• *Kaarten*: een overzicht met de actuele waarde en een kleine grafiek per meting. Ideaal "
                         "voor veel waarden. Klik op een kaart om die te vergroten; blader met ← en →, sluit met "
                         "Esc.\n"
                         "De app stelt een indeling voor als lijnen door de schaal vlak lijken.",
                         "**Layout** legt fest, wie Linien dargestellt werden:\n"
                         "• *Ein Diagramm*: alle Linien auf einer Skala.\n"
                         "• *Untereinander*: jede Linie in einem eigenen Diagramm mit eigener Y-Achse. Nützlich, wenn "
                         "sich die Werte stark unterscheiden (zum Beispiel 0–5 V neben einem ADC-Wert bis 4095); "
                         "sonst wirkt die kleine Linie flach.\n"
                         "• *Karten*: eine Übersicht mit dem aktuellen Wert und einem kleinen Diagramm pro Messwert. "
                         "Ideal für viele Werte. Klicke auf eine Karte, um sie zu vergrößern; blättere mit ← und →, "
                         "schließe mit Esc.\n"
                         "Die App schlägt ein Layout vor, wenn Linien wegen der Skala flach wirken.",
                         "**Disposition** règle l'affichage des courbes\u00A0:\n"
                         "• *Un graphique*\u00A0: toutes les courbes sur une même échelle.\n"
                         "• *Empilés*\u00A0: chaque courbe dans son propre graphique avec son propre axe Y. Utile "
                         "quand les valeurs sont très différentes (par exemple 0–5 V à côté d'une mesure ADC allant "
                         "jusqu'à 4095)\u00A0; sinon la petite courbe paraît plate.\n"
                         "• *Cartes*\u00A0: une vue d'ensemble avec la valeur actuelle et un petit graphique par "
                         "mesure. Idéal pour de nombreuses valeurs. Cliquez sur une carte pour l'agrandir\u00A0; "
                         "parcourez avec ← et →, fermez avec Échap.\n"
                         "L'app propose une disposition quand des courbes paraissent plates à cause de l'échelle.",
                         "**Diseño** fija cómo se muestran las líneas:\n"
                         "• *Un gráfico*: todas las líneas en una misma escala.\n"
                         "• *Apilados*: cada línea en su propio gráfico con su propio eje Y. Útil cuando los valores "
                         "son muy distintos (por ejemplo 0–5 V junto a una lectura del ADC de hasta 4095); si no, la "
                         "línea pequeña se ve plana.\n"
                         "• *Tarjetas*: una vista general con el valor actual y un pequeño gráfico por medición. Ideal "
                         "para muchos valores. Haz clic en una tarjeta para ampliarla; recorre con ← y →, cierra con "
                         "Esc.\n"
                         "La app sugiere un diseño cuando las líneas se ven planas por la escala."),
                    pick("**Smooth lines** rounds the corners between points. Off: straight segments, useful to see "
                         "exactly where each measurement lies.",
                         "**Vloeiende lijnen** rondt de hoeken tussen punten af. Uit: rechte stukken, handig om "
                         "precies te zien waar elke meting ligt.",
                         "**Geglättete Linien** rundet die Ecken zwischen den Punkten ab. Aus: gerade Abschnitte, "
                         "nützlich, um genau zu sehen, wo jeder Messwert liegt.",
                         "**Courbes lissées** arrondit les angles entre les points. Désactivé\u00A0: des segments "
                         "droits, utiles pour voir exactement où se trouve chaque mesure.",
                         "**Líneas suavizadas** redondea las esquinas entre los puntos. Desactivado: segmentos "
                         "rectos, útiles para ver exactamente dónde está cada medición."),
                    pick("**Pause** freezes the graph; the text output keeps running. **Trash** clears the graph.",
                         "**Pauzeren** zet de grafiek stil; de tekstuitvoer loopt door. **Prullenbak** wist de "
                         "grafiek.",
                         "**Pausieren** hält das Diagramm an; die Textausgabe läuft weiter. **Papierkorb** löscht das "
                         "Diagramm.",
                         "**Pause** fige le graphique\u00A0; la sortie texte continue. **Corbeille** efface le "
                         "graphique.",
                         "**Pausar** congela el gráfico; la salida de texto sigue. **Papelera** borra el gráfico."),
                }},
                Screenshot{"plotter-card-detail",
                           pick("An enlarged card with axes and statistics; browse with ← and →.",
                                "Een vergrote kaart met assen en statistieken; blader met ← en →.",
                                "Eine vergrößerte Karte mit Achsen und Statistik; blättere mit ← und →.",
                                "Une carte agrandie avec axes et statistiques\u00A0; parcourez avec ← et →.",
                                "Una tarjeta ampliada con ejes y estadísticas; recorre con ← y →.")},
                Tip{pick("Example for two values: `Serial.print(temp); Serial.print(\",\"); Serial.println(hum);`",
                         "Voorbeeld voor twee waarden: `Serial.print(temp); Serial.print(\",\"); "
                         "Serial.println(hum);`",
                         "Beispiel für zwei Werte: `Serial.print(temp); Serial.print(\",\"); Serial.println(hum);`",
                         "Exemple pour deux valeurs\u00A0: `Serial.print(temp); Serial.print(\",\"); "
                         "Serial.println(hum);`",
                         "Ejemplo para dos valores: `Serial.print(temp); Serial.print(\",\"); "
                         "Serial.println(hum);`")},
            }};
}

HelpTopic lines(const Pick& pick)
{
    return {"lines",
            pick("DTR, RTS and reset", "DTR, RTS en reset", "DTR, RTS und Reset", "DTR, RTS et réinitialisation",
                 "DTR, RTS y reinicio"),
            "bolt.horizontal",
            {
                Paragraph{pick(
                    "With the **DTR · RTS** button in the header (or the Serial Port menu) you control the port's "
                    "control lines. A filled dot (●) means on, an open dot (○) off. This only works while connected.",
                    "Met de knop **DTR · RTS** in de kopbalk (of het menu Seriële poort) bedien je de stuurlijnen "
                    "van de poort. Een gevulde stip (●) betekent aan, een open stip (○) uit. Dit werkt alleen als je "
                    "verbonden bent.",
                    "Mit der Schaltfläche **DTR · RTS** in der Kopfleiste (oder im Menü Serieller Port) steuerst du "
                    "die Steuerleitungen des Ports. Ein gefüllter Punkt (●) bedeutet an, ein leerer Punkt (○) aus. "
                    "Das funktioniert nur bei bestehender Verbindung.",
                    "Le bouton **DTR · RTS** de la barre d'en-tête (ou le menu Port série) permet de piloter les "
                    "lignes de contrôle du port. Un point plein (●) signifie activé, un point vide (○) désactivé. "
                    "Cela ne fonctionne que pendant la connexion.",
                    "Con el botón **DTR · RTS** de la cabecera (o el menú Puerto serie) controlas las líneas de "
                    "control del puerto. Un punto relleno (●) significa activado; uno vacío (○), desactivado. Solo "
                    "funciona mientras estás conectado.")},
                Table{{
                    {pick("Reset Arduino", "Arduino resetten", "Arduino zurücksetzen", "Réinitialiser l'Arduino",
                          "Reiniciar Arduino"),
                     pick("Short DTR pulse: restarts an Uno, Mega or Nano", "Korte DTR-puls: herstart een Uno, Mega "
                          "of Nano", "Kurzer DTR-Impuls: startet einen Uno, Mega oder Nano neu",
                          "Brève impulsion DTR\u00A0: redémarre un Uno, un Mega ou un Nano",
                          "Pulso DTR corto: reinicia un Uno, Mega o Nano")},
                    {pick("Reset ESP32/ESP8266", "ESP32/ESP8266 resetten", "ESP32/ESP8266 zurücksetzen",
                          "Réinitialiser l'ESP32/ESP8266", "Reiniciar ESP32/ESP8266"),
                     pick("RTS pulse on EN: restarts and your sketch starts normally",
                          "RTS-puls op EN: herstart en je sketch start normaal",
                          "RTS-Impuls auf EN: startet neu, und dein Sketch läuft normal an",
                          "Impulsion RTS sur EN\u00A0: redémarre et votre croquis démarre normalement",
                          "Pulso RTS en EN: reinicia y tu sketch arranca con normalidad")},
                    {pick("ESP32 in bootloader", "ESP32 in bootloader starten", "ESP32 im Bootloader",
                          "ESP32 en mode bootloader", "ESP32 en modo bootloader"),
                     pick("Restarts with GPIO0 low, as esptool does before flashing",
                          "Herstart met GPIO0 laag, zoals esptool doet voor het flashen",
                          "Startet mit GPIO0 auf Low neu, wie esptool vor dem Flashen",
                          "Redémarre avec GPIO0 à l'état bas, comme esptool avant le flashage",
                          "Reinicia con GPIO0 en bajo, como hace esptool antes de grabar")},
                }},
                // The kernel raises the lines on open; Velmora's open leaves them as they are.
                Tip{pick("Linux turns DTR and RTS on as soon as a port is opened. That is why many Arduino boards "
                         "restart when you connect.",
                         "Linux zet DTR en RTS aan zodra een poort wordt geopend. Daarom herstarten veel "
                         "Arduino-boards als je verbinding maakt.",
                         "Linux schaltet DTR und RTS ein, sobald ein Port geöffnet wird. Deshalb starten viele "
                         "Arduino-Boards neu, wenn du dich verbindest.",
                         "Linux active DTR et RTS dès qu'un port est ouvert. C'est pourquoi de nombreuses cartes "
                         "Arduino redémarrent quand vous vous connectez.",
                         "Linux activa DTR y RTS en cuanto se abre un puerto. Por eso muchas placas Arduino se "
                         "reinician al conectarte.")},
            }};
}

HelpTopic tabs(const Pick& pick)
{
    return {"tabs",
            pick("Tabs", "Tabbladen", "Tabs und Fenster", "Onglets", "Pestañas"),
            "rectangle.stack",
            {
                Paragraph{pick(
                    "Press ⌘T to open a new tab and monitor several ports at once. Every tab has its own port, "
                    "settings, output and plotter. The board's name is shown on the tab.",
                    "Druk op ⌘T om een nieuw tabblad te openen en meerdere poorten tegelijk te volgen. Elk tabblad "
                    "heeft een eigen poort, instellingen, uitvoer en plotter. De naam van het board staat op het "
                    "tabblad.",
                    "Drücke ⌘T, um einen neuen Tab zu öffnen und mehrere Ports gleichzeitig zu beobachten. Jeder Tab "
                    "hat seinen eigenen Port, eigene Einstellungen, Ausgabe und Plotter. Der Name des Boards steht "
                    "auf dem Tab.",
                    "Appuyez sur ⌘T pour ouvrir un nouvel onglet et surveiller plusieurs ports à la fois. Chaque "
                    "onglet a son propre port, ses paramètres, sa sortie et son traceur. Le nom de la carte "
                    "s'affiche sur l'onglet.",
                    "Pulsa ⌘T para abrir una pestaña nueva y vigilar varios puertos a la vez. Cada pestaña tiene su "
                    "propio puerto, ajustes, salida y trazador. El nombre de la placa aparece en la pestaña.")},
                Bullets{{
                    pick("A port can only be open in one tab at a time. The port list in other tabs then shows *(open "
                         "in another tab)*.",
                         "Een poort kan maar in één tabblad tegelijk open zijn. De poortlijst in andere tabbladen "
                         "toont dan *(geopend in een ander tabblad)*.",
                         "Ein Port kann immer nur in einem Tab geöffnet sein. Die Portliste in anderen Tabs zeigt "
                         "dann *(in einem anderen Tab geöffnet)*.",
                         "Un port ne peut être ouvert que dans un seul onglet à la fois. La liste des ports des autres "
                         "onglets affiche alors *(ouvert dans un autre onglet)*.",
                         "Un puerto solo puede estar abierto en una pestaña a la vez. La lista de puertos de las "
                         "demás pestañas muestra entonces *(abierto en otra pestaña)*."),
                    pick("Drag a tab out of the window to give it its own window, or open a new window directly with "
                         "⌘N.",
                         "Sleep een tabblad uit het venster om het een eigen venster te geven, of open direct een "
                         "nieuw venster met ⌘N.",
                         "Ziehe einen Tab aus dem Fenster, um ihm ein eigenes Fenster zu geben, oder öffne direkt ein "
                         "neues Fenster mit ⌘N.",
                         "Faites glisser un onglet hors de la fenêtre pour lui donner sa propre fenêtre, ou ouvrez "
                         "directement une nouvelle fenêtre avec ⌘N.",
                         "Arrastra una pestaña fuera de la ventana para darle su propia ventana, o abre directamente "
                         "una ventana nueva con ⌘N."),
                    pick("Closing a tab (⌘W) releases its port properly.",
                         "Een tabblad sluiten (⌘W) geeft de poort netjes vrij.",
                         "Beim Schließen eines Tabs (⌘W) wird sein Port sauber freigegeben.",
                         "Fermer un onglet (⌘W) libère proprement son port.",
                         "Al cerrar una pestaña (⌘W) su puerto se libera correctamente."),
                }},
            }};
}

HelpTopic reconnect(const Pick& pick)
{
    return {"reconnect",
            pick("Reconnecting", "Opnieuw verbinden", "Erneut verbinden", "Reconnexion", "Reconexión"),
            "arrow.triangle.2.circlepath",
            {
                Paragraph{pick(
                    "If you unplug the device, or the port briefly disappears during a reset or upload, the dot in "
                    "the header turns yellow and the title bar shows **Waiting…**. As soon as the same port is back, "
                    "Velmora reconnects automatically with the same settings.",
                    "Als je het apparaat loskoppelt, of de poort even verdwijnt tijdens een reset of upload, wordt "
                    "de stip in de kopbalk geel en toont de titelbalk **Wachten…**. Zodra dezelfde poort terug is, "
                    "maakt Velmora automatisch opnieuw verbinding met dezelfde instellingen.",
                    "Ziehst du das Gerät ab oder verschwindet der Port kurz während eines Resets oder Uploads, wird "
                    "der Punkt in der Kopfleiste gelb und die Titelleiste zeigt **Warten…**. Sobald derselbe Port "
                    "wieder da ist, verbindet sich Velmora automatisch mit denselben Einstellungen neu.",
                    "Si vous débranchez l'appareil, ou si le port disparaît brièvement pendant une réinitialisation "
                    "ou un téléversement, le point de l'en-tête passe au jaune et la barre de titre affiche **En "
                    "attente…**. Dès que le même port revient, Velmora se reconnecte automatiquement avec les mêmes "
                    "paramètres.",
                    "Si desconectas el dispositivo, o el puerto desaparece un momento durante un reinicio o una "
                    "carga, el punto de la cabecera se vuelve amarillo y la barra de título muestra **Esperando…**. "
                    "En cuanto vuelve el mismo puerto, Velmora se reconecta automáticamente con los mismos "
                    "ajustes.")},
                Paragraph{pick(
                    "If that fails after five attempts, it stops and shows the reason in the output. Click "
                    "**Disconnect** to stop waiting.",
                    "Lukt dat na vijf pogingen niet, dan stopt het en staat de reden in de uitvoer. Klik op "
                    "**Verbreken** om te stoppen met wachten.",
                    "Klappt das nach fünf Versuchen nicht, hört es auf und zeigt den Grund in der Ausgabe. Klicke "
                    "auf **Trennen**, um das Warten zu beenden.",
                    "Si cela échoue après cinq tentatives, Velmora s'arrête et affiche la raison dans la sortie. "
                    "Cliquez sur **Déconnecter** pour cesser d'attendre.",
                    "Si falla tras cinco intentos, se detiene y muestra el motivo en la salida. Haz clic en "
                    "**Desconectar** para dejar de esperar.")},
                Tip{pick("Uploading from the Arduino IDE? Click **Disconnect** first: a port can only be used by one "
                         "program at a time.",
                         "Upload je vanuit de Arduino IDE? Klik dan eerst op **Verbreken**: een poort kan maar door "
                         "één programma tegelijk worden gebruikt.",
                         "Lädst du aus der Arduino IDE hoch? Klicke zuerst auf **Trennen**: Ein Port kann immer nur "
                         "von einem Programm gleichzeitig genutzt werden.",
                         "Vous téléversez depuis l'IDE Arduino\u00A0? Cliquez d'abord sur **Déconnecter**\u00A0: un "
                         "port ne peut être utilisé que par un seul programme à la fois.",
                         "¿Vas a cargar desde el IDE de Arduino? Haz clic primero en **Desconectar**: un puerto solo "
                         "puede usarlo un programa a la vez.")},
            }};
}

HelpTopic shortcuts(const Pick& pick)
{
    return {"shortcuts",
            pick("Keyboard shortcuts", "Sneltoetsen", "Tastenkürzel", "Raccourcis clavier", "Atajos de teclado"),
            "keyboard",
            {
                Table{{
                    {"⌘R", pick("Connect / disconnect", "Verbinden / verbreken", "Verbinden / trennen",
                                "Connecter / déconnecter", "Conectar / desconectar")},
                    {"⌘T", pick("New tab", "Nieuw tabblad", "Neuer Tab", "Nouvel onglet", "Nueva pestaña")},
                    {"⌘N", pick("New window", "Nieuw venster", "Neues Fenster", "Nouvelle fenêtre", "Nueva ventana")},
                    {"⌘W", pick("Close tab (releases the port)", "Tabblad sluiten (geeft de poort vrij)",
                                "Tab schließen (gibt den Port frei)", "Fermer l'onglet (libère le port)",
                                "Cerrar pestaña (libera el puerto)")},
                    {"⌘⇧L", pick("Show / hide plotter", "Plotter tonen / verbergen", "Plotter ein-/ausblenden",
                                 "Afficher / masquer le traceur", "Mostrar / ocultar el trazador")},
                    {pick("← / → · Esc", "← / → · Esc", "← / → · Esc", "← / → · Échap", "← / → · Esc"),
                     pick("Plotter card: previous / next value · close",
                          "Plotterkaart: vorige / volgende waarde · sluiten",
                          "Plotter-Karte: vorheriger / nächster Wert · schließen",
                          "Carte du traceur\u00A0: valeur précédente / suivante · fermer",
                          "Tarjeta del trazador: valor anterior / siguiente · cerrar")},
                    {pick("Enter", "Enter", "Enter", "Entrée", "Intro"),
                     pick("Send message", "Bericht verzenden", "Nachricht senden", "Envoyer le message",
                          "Enviar mensaje")},
                    {"↑ / ↓", pick("Previous / next sent message", "Vorig / volgend verzonden bericht",
                                   "Vorherige / nächste gesendete Nachricht", "Message envoyé précédent / suivant",
                                   "Mensaje enviado anterior / siguiente")},
                    {"⌘⇧H", pick("Toggle sending as Text or HEX", "Wisselen tussen verzenden als tekst of HEX",
                                 "Zwischen Senden als Text oder HEX wechseln", "Basculer l'envoi entre texte et HEX",
                                 "Alternar el envío entre texto y HEX")},
                    {"⌘1 … ⌘6", pick("Choose display mode", "Weergavemodus kiezen", "Anzeigemodus wählen",
                                     "Choisir le mode d'affichage", "Elegir el modo de visualización")},
                    {"⌘K", pick("Clear output", "Uitvoer wissen", "Ausgabe löschen", "Effacer la sortie",
                                "Borrar la salida")},
                    {"⌘F", pick("Find in output", "Zoeken in uitvoer", "In der Ausgabe suchen",
                                "Rechercher dans la sortie", "Buscar en la salida")},
                    {"⌘S", pick("Save output", "Uitvoer opslaan", "Ausgabe speichern", "Enregistrer la sortie",
                                "Guardar la salida")},
                    {"⌘?", pick("Open this help", "Deze help openen", "Diese Hilfe öffnen", "Ouvrir cette aide",
                                "Abrir esta ayuda")},
                }},
            }};
}

HelpTopic troubleshooting(const Pick& pick)
{
    return {"troubleshooting",
            pick("Troubleshooting", "Problemen oplossen", "Fehlerbehebung", "Dépannage", "Solución de problemas"),
            "wrench.and.screwdriver",
            {
                Heading{pick("My port is not in the list", "Mijn poort staat niet in de lijst",
                             "Mein Port fehlt in der Liste", "Mon port n'est pas dans la liste",
                             "Mi puerto no aparece en la lista")},
                Bullets{{
                    pick("Try another USB cable: some cables only charge and carry no data.",
                         "Probeer een andere USB-kabel: sommige kabels laden alleen op en dragen geen data over.",
                         "Probiere ein anderes USB-Kabel: Manche Kabel laden nur und übertragen keine Daten.",
                         "Essayez un autre câble USB\u00A0: certains câbles ne font que charger et ne transmettent "
                         "pas de données.",
                         "Prueba otro cable USB: algunos cables solo cargan y no transmiten datos."),
                    // Linux ships the drivers for these chips, so the kernel log is the place to look.
                    pick("Linux already has drivers for the common USB-to-serial chips (CH340, CP210x, FTDI, PL2303). "
                         "Run `sudo dmesg` right after plugging in to see whether Linux created a port for your "
                         "board.",
                         "Linux heeft al drivers voor de gangbare USB-naar-serieel-chips (CH340, CP210x, FTDI, "
                         "PL2303). Voer direct na het aansluiten `sudo dmesg` uit om te zien of Linux een poort voor "
                         "je board heeft aangemaakt.",
                         "Linux bringt Treiber für die gängigen USB-Seriell-Chips (CH340, CP210x, FTDI, PL2303) schon "
                         "mit. Führe direkt nach dem Anstecken `sudo dmesg` aus, um zu sehen, ob Linux einen Port für "
                         "dein Board angelegt hat.",
                         "Linux intègre déjà les pilotes des puces USB-série courantes (CH340, CP210x, FTDI, PL2303). "
                         "Lancez `sudo dmesg` juste après le branchement pour voir si Linux a créé un port pour votre "
                         "carte.",
                         "Linux ya incluye controladores para los chips USB-serie habituales (CH340, CP210x, FTDI, "
                         "PL2303). Ejecuta `sudo dmesg` justo después de conectar para ver si Linux ha creado un "
                         "puerto para tu placa."),
                    // What the scanner lists: USB ports first, and /dev/ttyS only where a UART is present.
                    pick("Boards appear as `/dev/ttyACM…` or `/dev/ttyUSB…`, at the top of the list. Ports such as "
                         "`/dev/ttyS0` are serial ports built into the computer itself.",
                         "Boards verschijnen als `/dev/ttyACM…` of `/dev/ttyUSB…`, bovenaan de lijst. Poorten zoals "
                         "`/dev/ttyS0` zijn seriële poorten van de computer zelf.",
                         "Boards erscheinen als `/dev/ttyACM…` oder `/dev/ttyUSB…`, oben in der Liste. Ports wie "
                         "`/dev/ttyS0` sind serielle Ports des Computers selbst.",
                         "Les cartes apparaissent sous la forme `/dev/ttyACM…` ou `/dev/ttyUSB…`, en haut de la liste. "
                         "Les ports comme `/dev/ttyS0` sont les ports série de l'ordinateur lui-même.",
                         "Las placas aparecen como `/dev/ttyACM…` o `/dev/ttyUSB…`, al principio de la lista. Los "
                         "puertos como `/dev/ttyS0` son puertos serie del propio ordenador."),
                }},
                // Quoted as a message the user reads, in each language's own quotation marks.
                Heading{pick("\"The port is already in use\"", "\"De poort is al in gebruik\"",
                             "„Der Port wird bereits verwendet“", "«\u00A0Le port est déjà utilisé\u00A0»",
                             "«El puerto ya está en uso»")},
                Paragraph{pick(
                    "Another program has the port open, such as the serial monitor of the Arduino IDE, `screen` or a "
                    "second copy of Velmora. Close that program and try again.",
                    "Een ander programma heeft de poort open, zoals de seriële monitor van de Arduino IDE, `screen` "
                    "of een tweede exemplaar van Velmora. Sluit dat programma en probeer het opnieuw.",
                    "Ein anderes Programm hat den Port geöffnet, etwa der serielle Monitor der Arduino IDE, `screen` "
                    "oder eine zweite Instanz von Velmora. Schließe dieses Programm und versuche es erneut.",
                    "Un autre programme a ouvert le port, comme le moniteur série de l'IDE Arduino, `screen` ou une "
                    "deuxième instance de Velmora. Fermez ce programme et réessayez.",
                    "Otro programa tiene el puerto abierto, como el monitor serie del IDE de Arduino, `screen` u "
                    "otra copia de Velmora. Cierra ese programa y vuelve a intentarlo.")},
                Heading{pick("I see garbled characters", "Ik zie onleesbare tekens", "Ich sehe unlesbare Zeichen",
                             "Je vois des caractères illisibles", "Veo caracteres ilegibles")},
                Screenshot{"garbled-data",
                           pick("Garbled data is detected automatically, with buttons to try another baud rate.",
                                "Onleesbare data wordt automatisch herkend, met knoppen om een andere baudrate te "
                                "proberen.",
                                "Unlesbare Daten werden automatisch erkannt, mit Schaltflächen, um eine andere "
                                "Baudrate auszuprobieren.",
                                "Les données illisibles sont détectées automatiquement, avec des boutons pour "
                                "essayer un autre débit.",
                                "Los datos ilegibles se detectan automáticamente, con botones para probar otra "
                                "velocidad.")},
                Paragraph{pick("Use the baud rate buttons in the notice that appears, or choose the baud rate yourself.",
                               "Gebruik de baudrateknoppen in de melding die verschijnt, of kies de baudrate zelf.",
                               "Nutze die Baudrate-Schaltflächen im erscheinenden Hinweis, oder wähle die Baudrate "
                               "selbst.",
                               "Utilisez les boutons de débit de l'avis qui apparaît, ou choisissez le débit "
                               "vous-même.",
                               "Usa los botones de velocidad del aviso que aparece, o elige tú la velocidad.")},
                Paragraph{pick(
                    "Check that the baud rate matches your sketch. If it does, check the frame settings (usually "
                    "`8N1`).",
                    "Controleer of de baudrate overeenkomt met je sketch. Klopt die, controleer dan de "
                    "frame-instellingen (meestal `8N1`).",
                    "Prüfe, ob die Baudrate zu deinem Sketch passt. Wenn ja, prüfe die Rahmeneinstellungen (meist "
                    "`8N1`).",
                    "Vérifiez que le débit correspond à votre croquis. Si c'est le cas, vérifiez les paramètres de "
                    "trame (généralement `8N1`).",
                    "Comprueba que la velocidad coincide con la de tu sketch. Si coincide, revisa los ajustes de "
                    "trama (normalmente `8N1`).")},
                Heading{pick("I receive nothing", "Ik ontvang niets", "Ich empfange nichts", "Je ne reçois rien",
                             "No recibo nada")},
                Bullets{{
                    pick("Many Arduino boards reset when you connect. Wait a few seconds for your sketch to run "
                         "again.",
                         "Veel Arduino-boards resetten als je verbinding maakt. Wacht een paar seconden tot je sketch "
                         "weer draait.",
                         "Viele Arduino-Boards starten beim Verbinden neu. Warte ein paar Sekunden, bis dein Sketch "
                         "wieder läuft.",
                         "De nombreuses cartes Arduino redémarrent à la connexion. Attendez quelques secondes que "
                         "votre croquis tourne à nouveau.",
                         "Muchas placas Arduino se reinician al conectar. Espera unos segundos a que tu sketch vuelva "
                         "a ejecutarse."),
                    pick("Does your device respond to commands? Then check the line ending: many sketches wait for "
                         "LF (`\\n`).",
                         "Reageert je apparaat op opdrachten? Controleer dan het regeleinde: veel sketches wachten op "
                         "LF (`\\n`).",
                         "Reagiert dein Gerät auf Befehle? Dann prüfe das Zeilenende: Viele Sketches warten auf LF "
                         "(`\\n`).",
                         "Votre appareil répond à des commandes\u00A0? Vérifiez alors la fin de ligne\u00A0: beaucoup "
                         "de croquis attendent LF (`\\n`).",
                         "¿Tu dispositivo responde a comandos? Entonces revisa el final de línea: muchos sketches "
                         "esperan LF (`\\n`)."),
                    pick("Is flow control on while your device does not use it? Set it to **None**.",
                         "Staat flowcontrol aan terwijl je apparaat het niet gebruikt? Zet het op **Geen**.",
                         "Ist die Flusssteuerung an, obwohl dein Gerät sie nicht nutzt? Stelle sie auf **Keine**.",
                         "Le contrôle de flux est activé alors que votre appareil ne l'utilise pas\u00A0? Réglez-le "
                         "sur **Aucun**.",
                         "¿Está activado el control de flujo aunque tu dispositivo no lo usa? Ponlo en **Ninguno**."),
                }},
                Heading{pick("\"… bytes skipped\"", "\"… bytes overgeslagen\"", "„… Bytes übersprungen“",
                             "«\u00A0… octets ignorés\u00A0»", "«… bytes omitidos»")},
                Paragraph{pick(
                    "Your device sends faster than the window can display, and more than 4 MB was queued. Choose a "
                    "more compact display mode, turn timestamps off or reduce the amount of data.",
                    "Je apparaat stuurt sneller dan het venster kan weergeven, en er stond meer dan 4 MB in de "
                    "wachtrij. Kies een compactere weergavemodus, zet tijdstempels uit of verminder de hoeveelheid "
                    "data.",
                    "Dein Gerät sendet schneller, als das Fenster anzeigen kann, und es standen mehr als 4 MB in der "
                    "Warteschlange. Wähle einen kompakteren Anzeigemodus, schalte Zeitstempel aus oder verringere "
                    "die Datenmenge.",
                    "Votre appareil envoie plus vite que la fenêtre ne peut afficher, et plus de 4\u00A0Mo étaient "
                    "en attente. Choisissez un mode d'affichage plus compact, désactivez l'horodatage ou réduisez la "
                    "quantité de données.",
                    "Tu dispositivo envía más rápido de lo que la ventana puede mostrar, y había más de 4 MB en "
                    "cola. Elige un modo de visualización más compacto, desactiva las marcas de tiempo o reduce la "
                    "cantidad de datos.")},
            }};
}

HelpTopic security(const Pick& pick)
{
    return {"security",
            pick("Security and privacy", "Veiligheid en privacy", "Sicherheit und Datenschutz",
                 "Sécurité et confidentialité", "Seguridad y privacidad"),
            "lock.shield",
            {
                Bullets{{
                    pick("Velmora opens only the serial port you connect to, the files you choose when saving and its "
                         "own settings file. It makes no network connections.",
                         "Velmora opent alleen de seriële poort waarmee je verbinding maakt, de bestanden die je kiest "
                         "bij het opslaan en zijn eigen instellingenbestand. Het maakt geen netwerkverbindingen.",
                         "Velmora öffnet nur den seriellen Port, mit dem du dich verbindest, die Dateien, die du beim "
                         "Speichern wählst, und seine eigene Einstellungsdatei. Es baut keine Netzwerkverbindungen "
                         "auf.",
                         "Velmora n'ouvre que le port série auquel vous vous connectez, les fichiers que vous "
                         "choisissez lors de l'enregistrement et son propre fichier de paramètres. Il n'établit "
                         "aucune connexion réseau.",
                         "Velmora solo abre el puerto serie al que te conectas, los archivos que eliges al guardar y "
                         "su propio archivo de ajustes. No establece ninguna conexión de red."),
                    // The lock keeps out every later open but root's.
                    pick("A port is opened **exclusively**: while you are connected, no other program can open it "
                         "(only programs running as root can get past this). The original port settings are restored "
                         "when closing.",
                         "Een poort wordt **exclusief** geopend: zolang je verbonden bent, kan geen ander programma "
                         "hem openen (alleen programma's die als root draaien kunnen dat omzeilen). De "
                         "oorspronkelijke poortinstellingen worden bij het sluiten hersteld.",
                         "Ein Port wird **exklusiv** geöffnet: Solange du verbunden bist, kann kein anderes Programm "
                         "ihn öffnen (nur Programme, die als root laufen, können das umgehen). Die ursprünglichen "
                         "Port-Einstellungen werden beim Schließen wiederhergestellt.",
                         "Un port est ouvert en **exclusivité**\u00A0: tant que vous êtes connecté, aucun autre "
                         "programme ne peut l'ouvrir (seuls les programmes exécutés en tant que root peuvent passer "
                         "outre). Les paramètres d'origine du port sont rétablis à la fermeture.",
                         "Un puerto se abre en **exclusiva**: mientras estás conectado, ningún otro programa puede "
                         "abrirlo (solo los programas que se ejecutan como root pueden saltarse esto). Los ajustes "
                         "originales del puerto se restauran al cerrar."),
                    pick("Received data is only displayed, never executed or interpreted. Escape codes are removed, "
                         "and characters that could silently reverse text are neutralised.",
                         "Ontvangen data wordt alleen weergegeven, nooit uitgevoerd of geïnterpreteerd. Escapecodes "
                         "worden verwijderd, en tekens die tekst ongemerkt kunnen omkeren worden onschadelijk "
                         "gemaakt.",
                         "Empfangene Daten werden nur angezeigt, nie ausgeführt oder interpretiert. Escape-Sequenzen "
                         "werden entfernt, und Zeichen, die Text unbemerkt umkehren könnten, werden entschärft.",
                         "Les données reçues sont seulement affichées, jamais exécutées ni interprétées. Les codes "
                         "d'échappement sont supprimés, et les caractères qui pourraient inverser le texte à votre "
                         "insu sont neutralisés.",
                         "Los datos recibidos solo se muestran; nunca se ejecutan ni se interpretan. Los códigos de "
                         "escape se eliminan, y los caracteres que podrían invertir el texto sin que se note se "
                         "neutralizan."),
                    // QSettings' file for the application id in the user's config folder ($XDG_CONFIG_HOME).
                    pick("Nothing is collected or sent anywhere. Your settings are stored only on this computer, in "
                         "`~/.config/org.velmora.Velmora.json`.",
                         "Er wordt niets verzameld of ergens naartoe gestuurd. Je instellingen worden alleen op deze "
                         "computer bewaard, in `~/.config/org.velmora.Velmora.json`.",
                         "Es wird nichts gesammelt oder irgendwohin gesendet. Deine Einstellungen werden nur auf "
                         "diesem Computer gespeichert, in `~/.config/org.velmora.Velmora.json`.",
                         "Rien n'est collecté ni envoyé nulle part. Vos paramètres sont enregistrés uniquement sur cet "
                         "ordinateur, dans `~/.config/org.velmora.Velmora.json`.",
                         "No se recopila ni se envía nada a ningún sitio. Tus ajustes se guardan solo en este "
                         "ordenador, en `~/.config/org.velmora.Velmora.json`."),
                }},
            }};
}

}  // namespace

std::vector<HelpTopic> topics()
{
    const Pick pick(language());
    return {start(pick),  port(pick),  send(pick), display(pick),   output(pick),          plotter(pick),
            lines(pick),  tabs(pick),  reconnect(pick), shortcuts(pick), troubleshooting(pick), security(pick)};
}

}  // namespace velmora::L10n::Help
