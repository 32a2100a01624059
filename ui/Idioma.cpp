#include "ui/Idioma.h"

#include "app/Configuracion.h"
#include "app/ModuloKX.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <algorithm>
#include <iterator>
#include <utility>

namespace {

struct FilaTextos {
    int id;
    const char16_t* ingles;   // neutral and 1033
    const char16_t* espanol;  // 3082, and 1034 where it has no text of its own
    const char16_t* frances;  // 1036
};

// Every id in use, present in every language; kept sorted by id for the lookup.
constexpr FilaTextos Textos[] = {
    {1002, u"Open", u"Abrir...", u"Ouvri"},
    {1004, u"Save", u"Guardar", u"Sauver"},
    {1012, u"Exit", u"Salir", u"Sortir"},
    {1021, u"Help", u"Ayuda", u"Aide"},
    {1055, u"Night ON", u"ON noche", u"Nuit sur"},
    {1056, u"24 hours ON", u"24 horas ON", u"24 heures sur"},
    {1057, u"Night attenuation", u"Atenuación nocturna", u"Atténuation nuit"},
    {1058, u"Function mode", u"Modo funcionamiento", u"Mode de fonctionnement"},
    {1059, u"Recovery time after hibernation", u"Tiempo de reactivación tras hibernación", u"Le temps de récupération après l'hibernation"},
    {1061, u"Disable", u"Desactivado", u"Non activé"},
    {1100, u"Daylight sensor", u"Fotocélula", u"Photocellule"},
    {1102, u"Flashes", u"Destellos", u"Eclats"},
    {1103, u"Communications", u"Comunicaciones", u"Communications"},
    {1104, u"Setup", u"Configuración", u"Configuration"},
    {1105, u"Visualization", u"Visualización", u"Visualisation"},
    {1110, u"Light level Beacon ON", u"Nivel luz baliza ON", u"Niveau feu ON"},
    {1111, u"Light level Beacon OFF", u"Nivel luz baliza OFF", u"Niveau feu OFF"},
    {1112, u"Daylight sensor delay", u"Retardo fotocélula", u"Retard photocellule"},
    {1160, u"Language", u"Lenguaje:", u"Langue"},
    {1161, u"Com:", u"Com:", u"Com:"},
    {1165, u"Remote control", u"Telemado", u"Telecommande"},
    {1171, u"LED instant current ", u"Corriente actual leds", u"Courant actuel leds"},
    {1180, u"Instant speed", u"Velocidad actual", u"vitesse actuel"},
    {1201, u"Model", u"Modelo", u"Modèle"},
    {1203, u"Firmware Version", u"Versión firmware", u"Version firmware"},
    {1204, u"Hardware", u"Hardware", u"Hardware"},
    {1205, u"ID Number", u"Numero ID", u"Numéro ID"},
    {1206, u"Identifier", u"Identificación", u"Identification"},
    {1207, u"Manufacturer number", u"Numero Fabricación", u"Numéro Fabrication"},
    {1208, u"Year made", u"Año Fabricación", u"An  fabrication"},
    {1209, u"Week made", u"Semana fabricación", u"Semaine  fabrication"},
    {1219, u"RPM", u"RPM", u"RPM"},
    {1220, u"Lux", u"Lux", u"Lux"},
    {1221, u"s.", u"s.", u"s."},
    {1401, u"Lamp alarm level", u"Nivel alarma lámpara", u"Niveau alarme de lampe"},
    {1402, u"Lamchanger type", u"Tipo de cambiador", u"Type Changeur de lampes"},
    {1403, u"Lamp 1 type", u"Tipo lámpara 1", u"Type lampe 1"},
    {1404, u"Lamp  2 type", u"Tipo lámpara 2", u"Type lampe 2"},
    {1405, u"Main Lamp", u"Lámpara principal", u"Lampe principale"},
    {1406, u"Delay lamp photocell", u"Tiempo fotocélula interior", u"Retard cellule photoélectrique de lampe"},
    {1407, u"Delay Lamp 2", u"Tiempo lámpara 2", u"Retard lampe 2"},
    {1408, u"Delay AC Mains failure", u"Tiempo fallo de red", u"Retard faille du réseau"},
    {1409, u"Delay Lamp 1", u"Tiempo lámpara 1", u"Retard lampe 1"},
    {1410, u"Delay lamp failure", u"Retardo alarma lámpara", u"Retard lampe grillée"},
    {1411, u"Delay AC Mains restart", u"Tiempo retorno de red", u"Retard retour du réseau"},
    {1412, u"Emergency lantern", u"Baliza de Emergencia", u"Balise de secours."},
    {1420, u"User Speed 1", u"Velocidad usuario 1", u"Vitesse usager 1"},
    {1421, u"User Speed 2", u"Velocidad usuario 2", u"Vitesse usager 2"},
    {1422, u"User Speed 3", u"Velocidad usuario 3", u"Vitesse usager 3"},
    {1423, u"User Speed 4", u"Velocidad usuario 4", u"Vitesse usager 4"},
    {1424, u"Reducer Ratio", u"Relación reductor", u"Rapport réducteur"},
    {1425, u"Pulses per revolution", u"Pulsos por revolución", u"Pulsations par révolution"},
    {1426, u"Acceleration Time", u"Tiempo de Aceleración", u"Temps d'accélération"},
    {1427, u"Motor Type", u"Tipo de Motor", u"Type de moteur"},
    {1428, u"Stepper Motor", u"Paso a paso", u"Moteur pas à pas"},
    {1429, u"Dual Motor TOQ", u"Motor doble TOQ", u"Moteur Double TOQ"},
    {1430, u"Rotation", u"Rotación", u"Rotation"},
    {1431, u"Read QZL", u"Leer QZL", u"Lire QZL"},
    {1432, u"Write QZL", u"Escribir QZL", u"Ecrire QZL"},
    {1434, u"Failed turns", u"Giros fallidos", u"Tours faillis"},
    {1435, u"Speed tolerance", u"Margen Error Motor TOQ", u"Tolerance de vitesse"},
    {1450, u"ON", u"ON", u"ON"},
    {1451, u"OFF", u"OFF", u"OFF"},
    {1452, u"Motor ON", u"Motor ON", u"Moteur ON"},
    {1453, u"Motor alarm", u"Alarma motor", u"Alarme de moteur"},
    {1454, u"Lamp 1 ON", u"Lampara 1 ON", u"Lampe 1 ON"},
    {1455, u"Lamp 2 ON", u"Lampara 2 ON", u"Lampe 2 ON"},
    {1456, u"Changeur ON", u"Cambiador ON", u"Changeur ON"},
    {1457, u"AC Mains failure", u"Fallo de red", u"Alarme de Reseau"},
    {1458, u"Last lamp Alarm", u"Prealarma Lámpara", u"Prealarme  de Lampes"},
    {1459, u"Lamp Alarm", u"Alarma Lampara 1", u"Alarme Lampe 1"},
    {1460, u"Total Lamp Alarm", u"Fallo de foco", u"Alarme total de Lampes"},
    {1461, u"Lamp Change", u"Cambio de lampara", u"Change de lampe"},
    {1462, u"Day Night control", u"Control dia/ noche", u"Controlle jour/ Nuit"},
    {1463, u"Normal", u"Normal", u"Normal"},
    {1464, u"Night", u"Noche", u"Nuit"},
    {1465, u"Day", u"Día", u"Jour"},
    {1466, u"Automatic Mode", u"Modo Automatico", u"Automatique  Mode"},
    {1467, u"Refresh", u"Interrogar", u"Interroger"},
    {1468, u"Lamp ON", u"Lampara ON", u"Lampe ON"},
    {1470, u"2º Port function", u"Función 2º Puerto", u"Fonction 2º port"},
    {1471, u"RS485", u"RS485", u"RS485"},
    {1472, u"MODBUS", u"MODBUS", u"MODBUS"},
    {1473, u"PWM Led", u"PWM Led", u"PWM Led"},
    {1480, u"sensor type", u"Tipo sensor", u"Type de capteur"},
    {2000, u"helpQZL.chm", u"ayudaQZL.chm", u"AideQZL.chm"},
    {2001, u"This version of firmware is only QZL software program v1.2.9",
     u"Esta versión de firmware solo se programa con el software QZL V1.2.9",
     u"Cette version de firmware est uniquement logiciel QZL v1.2.9"},
    {2002, u"Changes pending record", u"Cambios pendientes de grabar", u"Les modifications en attente fiche"},
    {2003, u"LEDs levels", u"Grupo de leds", u"groupe de LED"},
    {2004, u"Nothing written: no controller identified, press Read QZL first",
     u"Nada escrito: ningún controlador identificado, pulse antes Leer QZL",
     u"Rien écrit : aucun contrôleur identifié, appuyez d'abord sur Lire QZL"},
    {2005, u"Nothing written: the identification failed, press Read QZL again",
     u"Nada escrito: la identificación falló, pulse de nuevo Leer QZL",
     u"Rien écrit : l'identification a échoué, appuyez de nouveau sur Lire QZL"},
    {2006, u"Nothing written: the last read failed, press Read QZL again",
     u"Nada escrito: la última lectura falló, pulse de nuevo Leer QZL",
     u"Rien écrit : la dernière lecture a échoué, appuyez de nouveau sur Lire QZL"},
    {2007, u"The program ends when the write is done", u"El programa se cerrará al terminar la escritura",
     u"Le programme se fermera à la fin de l'écriture"},
    {2010, u"Report",
     u"Informe",
     u"Rapport"},
    {2011, u"Service report",
     u"Informe de servicio",
     u"Rapport de service"},
    {2012, u"Save the report as a PDF file, or print it?",
     u"¿Guardar el informe como archivo PDF o imprimirlo?",
     u"Enregistrer le rapport en fichier PDF ou l'imprimer ?"},
    {2013, u"Save PDF...",
     u"Guardar PDF...",
     u"Enregistrer PDF..."},
    {2014, u"Print...",
     u"Imprimir...",
     u"Imprimer..."},
    {2015, u"Cancel",
     u"Cancelar",
     u"Annuler"},
    {2016, u"Tool",
     u"Programa",
     u"Logiciel"},
    {2017, u"Date and time",
     u"Fecha y hora",
     u"Date et heure"},
    {2018, u"Port",
     u"Puerto",
     u"Port"},
    {2019, u"Source of the values",
     u"Origen de los valores",
     u"Origine des valeurs"},
    {2020, u"Read from the controller on %1.",
     u"Leídos del controlador el %1.",
     u"Lus dans le contrôleur le %1."},
    {2021, u"Loaded from the file %1 on %2.",
     u"Cargados del archivo %1 el %2.",
     u"Chargés du fichier %1 le %2."},
    {2022, u"Nothing has been read from a controller or loaded from a file: the window holds no controller's values, so none are reported.",
     u"No se ha leído nada de un controlador ni cargado de un archivo: la ventana no contiene valores de ningún controlador y no se informa de ninguno.",
     u"Rien n'a été lu dans un contrôleur ni chargé d'un fichier : la fenêtre ne contient les valeurs d'aucun contrôleur, aucune n'est rapportée."},
    {2023, u"A later identification or read did not end well: these values are not known to be those of the controller now connected.",
     u"Una identificación o lectura posterior no terminó bien: no se sabe si estos valores son los del controlador conectado ahora.",
     u"Une identification ou lecture ultérieure n'a pas abouti : rien n'assure que ces valeurs soient celles du contrôleur connecté."},
    {2024, u"Edited in the window and not written to the controller: the fields marked \"%1\".",
     u"Editados en la ventana y no escritos en el controlador: los campos marcados \"%1\".",
     u"Modifiés dans la fenêtre et non écrits dans le contrôleur : les champs marqués \"%1\"."},
    {2025, u"Written to the controller on %1, with every edit made before it.",
     u"Escritos en el controlador el %1, con todos los cambios hechos antes.",
     u"Écrits dans le contrôleur le %1, avec toutes les modifications faites avant."},
    {2026, u"Edited, not written",
     u"Editado, no escrito",
     u"Modifié, non écrit"},
    {2027, u"Parameter",
     u"Parámetro",
     u"Paramètre"},
    {2028, u"Value",
     u"Valor",
     u"Valeur"},
    {2029, u"Unit",
     u"Unidad",
     u"Unité"},
    {2030, u"Note",
     u"Nota",
     u"Note"},
    {2031, u"cell %1 holds %2",
     u"la celda %1 contiene %2",
     u"la cellule %1 contient %2"},
    {2032, u"cells %1 hold %2",
     u"las celdas %1 contienen %2",
     u"les cellules %1 contiennent %2"},
    {2033, u"Identification",
     u"Identificación",
     u"Identification"},
    {2034, u"Flash table",
     u"Tabla de destellos",
     u"Table des éclats"},
    {2035, u"Row",
     u"Fila",
     u"Ligne"},
    {2036, u"Colour",
     u"Color",
     u"Couleur"},
    {2037, u"Segments (degrees)",
     u"Segmentos (grados)",
     u"Segments (degrés)"},
    {2038, u"none",
     u"ninguno",
     u"aucun"},
    {2039, u"no colour chosen",
     u"sin color elegido",
     u"aucune couleur choisie"},
    {2040, u"Sectors",
     u"Sectores",
     u"Secteurs"},
    {2041, u"Page %1 of %2",
     u"Página %1 de %2",
     u"Page %1 sur %2"},
    {2042, u"Ticked",
     u"Marcada",
     u"Cochée"},
    {2043, u"Clear",
     u"Sin marcar",
     u"Non cochée"},
    {2044, u"Greyed",
     u"Indeterminada",
     u"Indéterminée"},
    {2045, u"The window shows no parameter field.",
     u"La ventana no muestra ningún campo de parámetros.",
     u"La fenêtre n'affiche aucun champ de paramètres."},
    {2046, u"Report saved",
     u"Informe guardado",
     u"Rapport enregistré"},
    {2047, u"The report could not be written: %1",
     u"No se pudo escribir el informe: %1",
     u"Le rapport n'a pas pu être écrit : %1"},
    {2050, u"Compare", u"Comparar", u"Comparer"},
    {2051, u"Differences", u"Diferencias", u"Différences"},
    {2052, u"No differences", u"Sin diferencias", u"Aucune différence"},
    {2053, u"%1 compared, %2 equal, %3 different",
     u"%1 comparados, %2 iguales, %3 distintos",
     u"%1 comparés, %2 égaux, %3 différents"},
    {2054, u"Page", u"Página", u"Page"},
    {2055, u"Window", u"Ventana", u"Fenêtre"},
    {2056, u"Controller", u"Controlador", u"Contrôleur"},
    {2057, u"File", u"Archivo", u"Fichier"},
    {2058, u"Compare what the window holds with:",
     u"Comparar lo que tiene la ventana con:",
     u"Comparer le contenu de la fenêtre avec :"},
    {2059, u"The controller on the selected port",
     u"El controlador del puerto elegido",
     u"Le contrôleur du port choisi"},
    {2060, u"A parameter file",
     u"Un archivo de parámetros",
     u"Un fichier de paramètres"},
    {2061, u"Include the flash table and colours",
     u"Incluir la tabla de destellos y los colores",
     u"Inclure la table des éclats et les couleurs"},
    {2062, u"Cell %1", u"Celda %1", u"Cellule %1"},
    {2063, u"not present", u"no presente", u"absent"},
    {2064, u"Verify after writing", u"Verificar tras escribir", u"Vérifier après écriture"},
    {2065, u"%1 cells verified", u"%1 celdas verificadas", u"%1 cellules vérifiées"},
    {2066, u"%1 cells differ", u"%1 celdas difieren", u"%1 cellules diffèrent"},
    {2067, u"Read-back failed at address %1",
     u"Falló la relectura en la dirección %1",
     u"Échec de la relecture à l'adresse %1"},
    {2068, u"Ended. The read was not kept in the history: %1 cannot be written",
     u"Ended. La lectura no se guardó en el historial: no se puede escribir en %1",
     u"Ended. La lecture n'a pas été gardée dans l'historique : impossible d'écrire dans %1"},
    {2069, u"Copy", u"Copiar", u"Copier"},
    {2070, u"Close", u"Cerrar", u"Fermer"},
    {2071, u"Written", u"Escrito", u"Écrit"},
    {2072, u"Read back", u"Releído", u"Relu"},
    {2100, u"Monitor",
     u"Monitor",
     u"Moniteur"},
    {2101, u"Line monitor",
     u"Monitor de línea",
     u"Moniteur de ligne"},
    {2102, u"Gap (ms)",
     u"Intervalo (ms)",
     u"Écart (ms)"},
    {2103, u"Operation",
     u"Operación",
     u"Opération"},
    {2104, u"Direction",
     u"Sentido",
     u"Sens"},
    {2105, u"Try",
     u"Intento",
     u"Essai"},
    {2106, u"Bytes",
     u"Bytes",
     u"Octets"},
    {2107, u"Outcome",
     u"Resultado",
     u"Résultat"},
    {2108, u"Meaning",
     u"Significado",
     u"Signification"},
    {2109, u"Read",
     u"Lectura",
     u"Lecture"},
    {2110, u"Write",
     u"Escritura",
     u"Écriture"},
    {2111, u"Compare",
     u"Comparación",
     u"Comparaison"},
    {2112, u"Colour write",
     u"Escritura de colores",
     u"Écriture des couleurs"},
    {2113, u"Colour read",
     u"Lectura de colores",
     u"Lecture des couleurs"},
    {2114, u"Status",
     u"Estado",
     u"État"},
    {2115, u"Live values",
     u"Valores instantáneos",
     u"Valeurs instantanées"},
    {2116, u"Direct command",
     u"Orden directa",
     u"Commande directe"},
    {2118, u"To the controller",
     u"Al controlador",
     u"Vers le contrôleur"},
    {2119, u"From the controller",
     u"Del controlador",
     u"Du contrôleur"},
    {2120, u"sent",
     u"enviada",
     u"envoyée"},
    {2121, u"reply taken",
     u"respuesta tomada",
     u"réponse prise"},
    {2122, u"timeout",
     u"tiempo agotado",
     u"délai dépassé"},
    {2123, u"partial: %1 bytes",
     u"parcial: %1 bytes",
     u"partielle : %1 octets"},
    {2124, u"line lost",
     u"línea perdida",
     u"ligne perdue"},
    {2125, u"stray bytes skipped",
     u"bytes sueltos descartados",
     u"octets parasites ignorés"},
    {2126, u"late reply dropped",
     u"respuesta tardía descartada",
     u"réponse tardive rejetée"},
    {2127, u"reply of another frame dropped",
     u"respuesta de otra trama descartada",
     u"réponse d'une autre trame rejetée"},
    {2128, u"Read parameter %1",
     u"Leer parámetro %1",
     u"Lire paramètre %1"},
    {2129, u"Write parameter %1: %2",
     u"Escribir parámetro %1: %2",
     u"Écrire paramètre %1 : %2"},
    {2130, u"Operating command",
     u"Orden de funcionamiento",
     u"Commande de fonctionnement"},
    {2131, u"Presence map byte %1 (addresses %2 to %3)",
     u"Byte %1 del mapa de presencia (direcciones %2 a %3)",
     u"Octet %1 de la carte de présence (adresses %2 à %3)"},
    {2132, u"Write flash segment %1, offset %2: %3",
     u"Escribir segmento de destellos %1, posición %2: %3",
     u"Écrire segment d'éclats %1, position %2 : %3"},
    {2133, u"Read flash segment %1, offset %2",
     u"Leer segmento de destellos %1, posición %2",
     u"Lire segment d'éclats %1, position %2"},
    {2134, u"Unknown command %1",
     u"Orden desconocida %1",
     u"Commande inconnue %1"},
    {2135, u"high byte",
     u"byte alto",
     u"octet haut"},
    {2136, u"middle byte",
     u"byte medio",
     u"octet du milieu"},
    {2137, u"low byte",
     u"byte bajo",
     u"octet bas"},
    {2138, u"character %1",
     u"carácter %1",
     u"caractère %1"},
    {2139, u"answer %1",
     u"respuesta %1",
     u"réponse %1"},
    {2140, u"status byte %1",
     u"byte de estado %1",
     u"octet d'état %1"},
    {2141, u"Present current",
     u"Corriente actual",
     u"Courant actuel"},
    {2142, u"inputs %1 to %2",
     u"entradas %1 a %2",
     u"entrées %1 à %2"},
    {2143, u"outputs %1 to %2",
     u"salidas %1 a %2",
     u"sorties %1 à %2"},
    {2144, u"Motor %1",
     u"Motor %1",
     u"Moteur %1"},
    {2145, u"All operations",
     u"Todas las operaciones",
     u"Toutes les opérations"},
    {2146, u"Faults only",
     u"Solo fallos",
     u"Défauts seulement"},
    {2148, u"The service log cannot be written: %1",
     u"No se puede escribir el registro de servicio: %1",
     u"Le journal de service ne peut pas être écrit : %1"},
    {2149, u"The file %1 could not be written",
     u"No se pudo escribir el archivo %1",
     u"Le fichier %1 n'a pas pu être écrit"},
};

struct FilaDiferencia {
    int id;
    const char16_t* texto;
};

// Where Spanish with traditional sorting words a text differently from modern Spanish.
constexpr FilaDiferencia Diferencias1034[] = {
    {1055, u"ON Noche"},
    {1058, u"Modo de funcionamiento"},
    {1165, u"Telemando"},
    {1205, u"Número ID"},
    {1207, u"Número Fabricación"},
    {1425, u"Pulses per revolution"},
    {1429, u"Motor Doble TOQ"},
    {1435, u"Tolerancia de velocidad"},
    {2000, u"ayudakx.chm"},
};

constexpr auto PorId = [](const auto& a, const auto& b) { return a.id < b.id; };
static_assert(std::is_sorted(std::begin(Textos), std::end(Textos), PorId));
static_assert(std::is_sorted(std::begin(Diferencias1034), std::end(Diferencias1034), PorId));

template <typename Fila, std::size_t N>
const Fila* Buscar(const Fila (&filas)[N], int id)
{
    const Fila* f = std::lower_bound(std::begin(filas), std::end(filas), id,
                                     [](const Fila& a, int b) { return a.id < b; });
    return (f != std::end(filas) && f->id == id) ? f : nullptr;
}

int tablaElegida = -1;

}  // namespace

// Spanish names can carry the traditional collation in three spellings:
// BCP 47 "es-ES-u-co-trad", POSIX "es_ES.UTF-8@collation=traditional" and
// the Windows sort suffix "es-ES_tradnl".
static bool OrdenTradicional(const QString& nombre)
{
    const qsizetype arroba = nombre.indexOf(u'@');
    if (arroba >= 0 && nombre.mid(arroba + 1).contains(u"collation=traditional"))
        return true;
    const QString etiqueta = nombre.left(arroba).section(u'.', 0, 0);
    const QStringList partes = QString(etiqueta).replace(u'_', u'-').split(u'-');
    bool enExtensionU = false;
    QString clave;
    for (const QString& parte : partes) {
        if (parte == u"tradnl")
            return true;
        if (parte.size() == 1) {  // a singleton opens an extension
            enExtensionU = parte == u"u";
            clave.clear();
        } else if (enExtensionU && parte.size() == 2) {
            clave = parte;
        } else if (enExtensionU && clave == u"co" && parte == u"trad") {
            return true;
        }
    }
    return false;
}

static int TablaDeIdioma(const QString& nombre)
{
    const QString n = nombre.trimmed().toLower();
    qsizetype fin = 0;
    while (fin < n.size() && n[fin] != u'-' && n[fin] != u'_' && n[fin] != u'.' && n[fin] != u'@')
        ++fin;
    switch (QLocale::codeToLanguage(QStringView(n).left(fin))) {
    case QLocale::Spanish:
        return OrdenTradicional(n) ? TablaEspanolTradicional : TablaEspanol;
    case QLocale::French:
        return TablaFrances;
    case QLocale::English:
        return TablaIngles;
    default:
        return TablaNeutra;
    }
}

int TablaDeIdiomas(const QStringList& idiomas)
{
    // The first name is the interface language; the ones after it are only
    // the platform's fallbacks and its spellings of the same language.
    for (const QString& nombre : idiomas) {
        if (!nombre.trimmed().isEmpty())
            return TablaDeIdioma(nombre);
    }
    return TablaNeutra;
}

int TablaIdioma()
{
    if (tablaElegida < 0)
        tablaElegida = TablaDeIdiomas(QLocale::system().uiLanguages());
    return tablaElegida;
}

void FijarTablaIdioma(int tabla)
{
    tablaElegida = tabla;
}

QString TextoRecursoDeTabla(int tabla, int id)
{
    const FilaTextos* fila = Buscar(Textos, id);
    if (!fila)
        return QString();
    const char16_t* texto = fila->ingles;
    switch (tabla) {
    case TablaEspanolTradicional:
        if (const FilaDiferencia* d = Buscar(Diferencias1034, id))
            texto = d->texto;
        else
            texto = fila->espanol;
        break;
    case TablaEspanol:
        texto = fila->espanol;
        break;
    case TablaFrances:
        texto = fila->frances;
        break;
    default:  // neutral, English, and any table we do not hold
        break;
    }
    return QString::fromUtf16(texto);
}

QString TextoRecurso(int id)
{
    return TextoRecursoDeTabla(TablaIdioma(), id);
}

// --- Language list ComboIdioma: records its choice as CodigoIdioma in qzl.ini ---

// The entry the list stands on: a typed text counts only when it is exactly one
// of the entries, as a selection does; anything else is no selection (-1).
static int IndiceIdioma()
{
    QComboBox* lista = Ventana().ComboIdioma;
    return lista->findText(lista->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

static void GuardarIdiomaElegido()
{
    switch (IndiceIdioma()) {
    case 0:
        CodigoIdioma = QStringLiteral("1");
        break;
    case 1:
        CodigoIdioma = QStringLiteral("34");
        break;
    default:  // nothing chosen: the code stays as read
        break;
    }
    // A file that cannot be written keeps its old code; nothing is shown, as
    // the list itself is never on screen. The port list rewrites the same file
    // right after at start-up.
    EscribirConfiguracion();
}

void ComboIdioma_Click()
{
    GuardarIdiomaElegido();
    DoEvents();
}

void ComboIdioma_Change()
{
    GuardarIdiomaElegido();
    if (frmMain* ventana = FormPrincipal())
        ventana->show();
    DoEvents();
}

void IniciarComboIdioma()
{
    QComboBox* lista = Ventana().ComboIdioma;
    LlenarLista(lista, {QStringLiteral("English"), QStringLiteral("Español")});
    lista->setCurrentIndex(CodigoIdioma == u"34" ? 1 : 0);
}

void ConectarIdioma()
{
    QComboBox* lista = Ventana().ComboIdioma;
    // Typed text never becomes an entry of its own: the list holds the two languages.
    lista->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(lista, &QComboBox::currentIndexChanged, lista, [] { ComboIdioma_Click(); });
    QObject::connect(lista->lineEdit(), &QLineEdit::textEdited, lista, [] { ComboIdioma_Change(); });
}

// --- Texts of the window, applied once at start-up ---

static void Texto(QLabel* etiqueta, int id)
{
    etiqueta->setText(TextoRecurso(id));
}

static void Texto(QAbstractButton* boton, int id)
{
    boton->setText(TextoRecurso(id));
}

static void Titulo(QGroupBox* grupo, int id)
{
    grupo->setTitle(TextoRecurso(id));
}

void AplicarTextos()
{
    Ui::frmMain& v = Ventana();

    // 1. Tabs by their position after the control reset; page 3 keeps the
    //    flashes caption and pages 4 and 5 are one text behind their tabs.
    //    A sixth tab and page 6 keep their fixed texts.
    struct TextoPagina {
        int tab;
        int pagina;
    };
    const TextoPagina paginas[] = {{1102, 1102}, {1430, 1430}, {1165, 1102}, {1104, 1103}, {1105, 1104}};
    for (int p = 1; p <= 5; ++p) {
        if (p <= NumeroPestanas())
            TextoPestana(p, TextoRecurso(paginas[p - 1].tab));
        Titulo(FrameP(p), paginas[p - 1].pagina);
    }

    // 2. Buttons of the window.
    Texto(v.CAbrir, 1002);
    Texto(v.CGuardar, 1004);
    Texto(v.CLeer, 1431);
    Texto(v.CEscribir, 1432);
    Texto(v.CInforme, 2010);
    Texto(v.CComparar, 2050);
    Texto(v.CMonitor, 2100);
    Texto(v.Csalir, 1012);
    Texto(v.CAyuda, 1021);
    Texto(v.lblGrupoLeds, 2003);

    // 3. Identification captions and the daylight-sensor rows.
    const std::pair<int, int> etiquetas3[] = {{38, 1201}, {15, 1203}, {14, 1204}, {43, 1205},
                                              {3, 1206},  {10, 1207}, {21, 1208}, {22, 1209},
                                              {18, 1110}, {19, 1111}, {4, 1112}};
    for (const auto& [i, id] : etiquetas3)
        Texto(Label(i), id);

    // 4. Units of the light levels and delays.
    for (const auto& [i, id] : {std::pair{1, 1220}, {2, 1220}, {3, 1221}, {13, 1220}, {14, 1221}})
        Texto(LabelUnidades(i), id);

    // 5. Lamp parameters.
    const std::pair<int, int> etiquetas5[] = {{8, 1410},  {11, 1402}, {12, 1403}, {13, 1404},
                                              {20, 1405}, {5, 1401},  {30, 1406}, {31, 1407},
                                              {34, 1408}, {35, 1411}, {36, 1409}, {27, 1470}};
    for (const auto& [i, id] : etiquetas5)
        Texto(Label(i), id);
    Texto(v.CheckBalizaEmergencia, 1412);
    Texto(Label(16), 1057);
    Texto(Label(46), 1058);

    // 6. The function-mode list; selecting its first entry runs its handler.
    LlenarLista(v.cmbModofuncionamiento, {TextoRecurso(1055), TextoRecurso(1056)});
    v.cmbModofuncionamiento->setCurrentIndex(0);

    // 7. Rotation page.
    Texto(Label(47), 1059);
    Texto(Label(2), 1420);
    Texto(LabelUnidades(0), 1219);
    const std::pair<int, int> etiquetas7[] = {{26, 1421}, {29, 1422}, {32, 1423}, {28, 1424},
                                              {33, 1425}, {37, 1426}, {39, 1473}, {40, 1427},
                                              {41, 1434}, {42, 1435}};
    for (const auto& [i, id] : etiquetas7)
        Texto(Label(i), id);
    for (const auto& [i, id] : {std::pair{22, 1219}, {18, 1221}, {4, 1219}, {5, 1219}, {6, 1219}})
        Texto(LabelUnidades(i), id);

    // 8. Indicator rows of the remote-control page.
    const std::pair<int, int> filas[] = {{0, 1450}, {8, 1452}, {3, 1453}, {9, 1454},
                                         {10, 1455}, {1, 1458}, {2, 1456}, {4, 1457},
                                         {7, 1460}, {5, 1468}, {6, 1459}};
    for (const auto& [i, id] : filas)
        Texto(label1(i), id);

    // 9. Sensor type and the live measurements.
    Texto(Label(0), 1480);
    Texto(Label(7), 1171);
    Texto(Label(44), 1180);

    // 10. Command groups, their buttons, and the configuration page.
    Titulo(Frame1(4), 1461);
    Texto(v.CCambioLamparaOn, 1450);
    Texto(v.CCambioLamparaOff, 1451);
    Texto(LabelUnidades(12), 1221);
    Titulo(Frame1(1), 1462);
    Texto(v.CNormal, 1463);
    Texto(v.CNoche, 1464);
    Texto(v.CDia, 1465);
    Titulo(Frame1(3), 1466);
    Texto(v.CModoVerboso, 1450);
    Texto(v.Command1, 1451);
    Texto(v.CInterrogar, 1467);
    Texto(label1(34), 1206);
    Texto(Label(24), 1160);
    Texto(Label(17), 1161);
    Texto(v.chkVerificar, 2064);
}
