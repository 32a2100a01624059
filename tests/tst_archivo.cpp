// Parameter files: saving the window and the flash table, loading them back, and the
// files the load must refuse without changing anything.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "params/Campos.h"
#include "params/TablaLux.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QLineEdit* Texto(const char* campo)
{
    auto* t = qobject_cast<QLineEdit*>(Control(QLatin1String(campo)));
    Q_ASSERT(t);
    return t;
}

QComboBox* Lista(const char* campo)
{
    auto* l = qobject_cast<QComboBox*>(Control(QLatin1String(campo)));
    Q_ASSERT(l);
    return l;
}

QByteArray Leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Escribir(const QString& ruta, const QByteArray& datos)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(datos) == datos.size();
}

// The file's lines without their CR LF.
QList<QByteArray> Lineas(const QByteArray& datos)
{
    QList<QByteArray> l = datos.split('\n');
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    for (QByteArray& x : l)
        x.chop(1);
    return l;
}

// Everything a load can change, to compare before and after a refused one.
struct Instantanea {
    QStringList campos;
    int32_t tabla[9][33];
    int32_t colores[9];
    QStringList celdas;
    QStringList etiquetas;

    static Instantanea Tomar()
    {
        Instantanea s;
        for (const FilaMapa& f : MapaMemoria()) {
            const ValorCampo v = LeerCampo(f);
            s.campos << QStringLiteral("%1|%2|%3|%4").arg(QLatin1String(f.campo), v.texto).arg(v.indice).arg(v.marca);
        }
        for (int r = 1; r <= 8; ++r) {
            s.colores[r] = TablaColores[r];
            s.etiquetas << LColor(r)->text() << FondoCeldaPautas(r, 0).name();
            for (int c = 1; c <= 32; ++c) {
                s.tabla[r][c] = TablaPautas[r][c];
                s.celdas << TextoCeldaPautas(r, c);
            }
        }
        return s;
    }
    void Comparar(const Instantanea& otra) const
    {
        QCOMPARE(campos, otra.campos);
        QCOMPARE(celdas, otra.celdas);
        QCOMPARE(etiquetas, otra.etiquetas);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(colores[r], otra.colores[r]);
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(tabla[r][c], otra.tabla[r][c]);
        }
    }
};

// A valid file built from an image and a table with 511 everywhere.
QByteArray ArchivoCon(const ImagenParametros& imagen, int32_t tabla[9][33] = nullptr)
{
    int32_t colores[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    int32_t vacia[9][33];
    for (auto& fila : vacia)
        for (int32_t& e : fila)
            e = 511;
    return TextoArchivoQZL(imagen, colores, tabla ? tabla : vacia);
}

// Makes a folder read-only while it lives: by its permissions, or for a user who
// ignores them (root) by the file system's immutable flag.
struct CarpetaSoloLectura {
    QString carpeta;
    bool inmutable = false;
    bool activa = false;

    explicit CarpetaSoloLectura(const QString& dir)
        : carpeta(dir)
    {
        QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::ExeOwner);
        if (::access(carpeta.toLocal8Bit().constData(), W_OK) != 0) {
            activa = true;
            return;
        }
        inmutable = activa = MarcaInmutable(true);
    }
    ~CarpetaSoloLectura()
    {
        if (inmutable)
            MarcaInmutable(false);
        QFile::setPermissions(carpeta, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool MarcaInmutable(bool poner)
    {
        const int fd = ::open(carpeta.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int marcas = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &marcas) == 0;
        if (ok) {
            marcas = poner ? (marcas | FS_IMMUTABLE_FL) : (marcas & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &marcas) == 0;
        }
        ::close(fd);
        return ok;
    }
};

}  // namespace

class tst_archivo : public QObject {
    Q_OBJECT

    QTemporaryDir carpeta;
    QString ruta(const QString& nombre) { return carpeta.filePath(nombre); }

    // Every strict field holds a number, so that a save can encode the window.
    void CamposValidos()
    {
        for (const FilaMapa& f : MapaMemoria())
            if (f.tipo == TipoCampo::Texto && f.fuente == Fuente::Estricta)
                Texto(f.campo)->setText(QStringLiteral("1"));
    }

    void Guardar(const QString& archivo)
    {
        ContestarDialogos(archivo);
        QTest::mouseClick(Ventana().CGuardar, Qt::LeftButton);
    }
    void Abrir(const QString& archivo)
    {
        ContestarDialogos(archivo);
        QTest::mouseClick(Ventana().CAbrir, Qt::LeftButton);
    }
    int Mensajes()
    {
        int n = 0;
        for (const PeticionDialogo& p : DialogosMostrados())
            n += p.tipo == PeticionDialogo::Mensaje;
        return n;
    }

private slots:
    // One window for the whole file (its start-up calibrates for a second).
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(carpeta.isValid());
        FactorEsperas = 0.01;
        CrearVentanaPrueba();
    }
    void init()
    {
        DialogosMostrados().clear();
        HistorialPanel1().clear();
        CamposValidos();
        FormatearGrid();
        BorrarDatosGrid();
        for (int i = 1; i <= 8; ++i) {
            TablaColores[i] = 0;
            FijarTextoLColor(i, i);
        }
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    void guardarYCargar()
    {
        Ui::frmMain& v = Ventana();
        v.TVelocidadUsuario1->setText(QStringLiteral("1.25"));
        v.TRelacionReductor->setText(QStringLiteral("25.5"));
        v.TPulsosRevolucion->setText(QStringLiteral("400"));
        v.TTestFotocelula->setText(QStringLiteral("12.5"));
        SeleccionarEntrada(v.ComboSensorLuz, 1);
        v.TLuxON->setText(QStringLiteral("100"));
        v.TLuxOFF->setText(QStringLiteral("20"));
        SeleccionarEntrada(v.ComboTipoCambiador, 2);
        SeleccionarEntrada(v.ComboTipoLampara1, 1);
        SeleccionarEntrada(v.ComboLamparaPrincipal, 2);
        SeleccionarEntrada(v.ComboFuncion2Puerto, 2);
        SeleccionarEntrada(v.ComboTipoMotor, 1);
        v.TMaxConsumoLed->setText(QStringLiteral("3"));
        v.TPWMLed->setText(QStringLiteral("200"));
        v.TMargenErrorMotor2->setText(QStringLiteral("0.5"));
        v.CheckBalizaEmergencia->setCheckState(Qt::PartiallyChecked);
        SeleccionarEntrada(v.cmbModofuncionamiento, 1);
        v.txtAtenuacionNocturna->setText(QStringLiteral("300"));
        v.txtTiempoDe->setText(QStringLiteral("1000"));
        v.txtDuracionPulsoSincronismo->setText(QStringLiteral("abc"));
        v.txtGrupoLeds->setText(QStringLiteral("300"));
        v.TGradosOffset->setText(QStringLiteral("1000"));
        v.TLuminosidadLeds->setText(QStringLiteral("80"));
        v.TDientesDisco->setText(QStringLiteral("36"));
        v.TIdentificacion->setText(QStringLiteral("ABC"));
        v.TSemanaFabricacion->setText(QStringLiteral("30"));
        v.TAnoFabricacion->setText(QStringLiteral("24"));
        v.TNumeroFabricacion->setText(QStringLiteral("60000"));
        v.TModeloR->setText(QStringLiteral("7"));
        v.TVersionFirmwareR->setText(QStringLiteral("52"));
        v.THardwareR->setText(QStringLiteral("3"));
        v.TNumeroID->setText(QStringLiteral("4660"));
        int32_t colores[9] = {0, 660510, 255, 0, 16777215, 5, 6, 7, 8};
        for (int r = 1; r <= 8; ++r) {
            TablaColores[r] = colores[r];
            for (int c = 1; c <= 32; ++c)
                TablaPautas[r][c] = r == 3 ? 511 : (r * 40 + c * 11) % 360 + 1;
        }
        TablaPautas[2][2] = 0;
        TablaPautas[2][3] = 359;
        RellenarColores();
        RedibujaGrid();

        const QString archivo = ruta(QStringLiteral("completo.qzl"));
        Guardar(archivo);
        QCOMPARE(TextoPanel1(), QStringLiteral(" Saved file"));
        QVERIFY(HistorialPanel1().contains(QStringLiteral(" 255")));
        QCOMPARE(Mensajes(), 0);
        const QByteArray datos = Leer(archivo);
        QVERIFY(datos.endsWith("\r\n"));
        QCOMPARE(datos.count("\r\n"), 520);
        QCOMPARE(datos.count('\n'), 520);
        const QList<QByteArray> l = Lineas(datos);
        auto linea = [&](int n) { return l[n - 1].toInt(); };
        QCOMPARE(linea(1), 0);
        QCOMPARE(linea(2), 48);
        QCOMPARE(linea(3), 212);
        QCOMPARE(linea(28), 2);    // changer type index
        QCOMPARE(linea(50), 200);
        QCOMPARE(linea(55), 2);    // greyed check box
        QCOMPARE(linea(57), 100);  // night attenuation 300 is saved as 100...
        QCOMPARE(v.txtAtenuacionNocturna->text(), QStringLiteral("100"));  // ...and shows it
        QCOMPARE(linea(58), 3);
        QCOMPARE(linea(59), 232);
        QCOMPARE(v.txtDuracionPulsoSincronismo->text(), QStringLiteral("0"));
        QCOMPARE(v.txtGrupoLeds->text(), QStringLiteral("255"));
        const char* id = "ABC             ";
        for (int i = 0; i < 16; ++i)
            QCOMPARE(linea(232 + i), int(id[i]));
        QCOMPARE(linea(248), 30);
        QCOMPARE(linea(249), 24);
        QCOMPARE(linea(250), 60000 >> 8);
        QCOMPARE(linea(251), 60000 & 255);
        QCOMPARE(linea(252), 7);
        QCOMPARE(linea(253), 52);
        QCOMPARE(linea(254), 3);
        QCOMPARE(linea(255), 4660 >> 8);  // the identity number, high byte first
        QCOMPARE(linea(256), 4660 & 255);
        for (int n = 62; n <= 221; ++n)
            QCOMPARE(linea(n), 0);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(linea(257 + 33 * (r - 1)), colores[r]);
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(linea(257 + 33 * (r - 1) + c), TablaPautas[r][c]);
        }

        // Everything else in the window, then the file back.
        int32_t guardada[9][33];
        std::copy(&TablaPautas[0][0], &TablaPautas[0][0] + 9 * 33, &guardada[0][0]);
        for (const FilaMapa& f : MapaMemoria())
            if (f.tipo == TipoCampo::Texto)
                Texto(f.campo)->setText(QStringLiteral("9"));
        for (const char* n : {"ComboSensorLuz", "ComboTipoCambiador", "ComboTipoLampara1", "ComboLamparaPrincipal",
                              "ComboFuncion2Puerto", "ComboTipoMotor", "cmbModofuncionamiento"})
            SeleccionarEntrada(Lista(n), 0);
        v.CheckBalizaEmergencia->setCheckState(Qt::Unchecked);
        BorrarDatosGrid();
        for (int r = 1; r <= 8; ++r)
            TablaColores[r] = 0;
        RellenarColores();
        HistorialPanel1().clear();

        Abrir(archivo);
        QCOMPARE(Mensajes(), 0);
        QVERIFY(HistorialPanel1().contains(QStringLiteral("Ended")));
        QCOMPARE(v.TVelocidadUsuario1->text(), QStringLiteral("1.2500"));
        QCOMPARE(v.TRelacionReductor->text(), QStringLiteral("25.50"));
        QCOMPARE(v.TPulsosRevolucion->text(), QStringLiteral("400"));
        QCOMPARE(v.TTestFotocelula->text(), QStringLiteral("12.5"));
        QCOMPARE(v.ComboSensorLuz->currentIndex(), 1);
        int32_t lux = 100;
        int32_t cuentas = LuxACuentas(lux, SensorFotocelula);
        QCOMPARE(v.TLuxON->text(), QString::number(CuentasALux(cuentas, SensorFotocelula)));
        QCOMPARE(v.ComboTipoCambiador->currentIndex(), 2);
        QCOMPARE(v.ComboTipoLampara1->currentIndex(), 1);
        QCOMPARE(v.ComboLamparaPrincipal->currentIndex(), 2);
        QCOMPARE(v.ComboFuncion2Puerto->currentIndex(), 2);
        QCOMPARE(v.ComboTipoMotor->currentIndex(), 1);
        QCOMPARE(v.TMaxConsumoLed->text(), QStringLiteral("3.00"));
        QCOMPARE(v.TPWMLed->text(), QStringLiteral("200"));
        QCOMPARE(v.TMargenErrorMotor2->text(), QStringLiteral("0.50"));
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::PartiallyChecked);
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 1);
        QVERIFY(v.txtAtenuacionNocturna->isEnabled());
        QCOMPARE(v.txtAtenuacionNocturna->text(), QStringLiteral("100"));
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("1000"));  // no 999 limit from a file
        QCOMPARE(v.txtDuracionPulsoSincronismo->text(), QStringLiteral("0"));
        QCOMPARE(v.txtGrupoLeds->text(), QStringLiteral("255"));
        QCOMPARE(v.TGradosOffset->text(), QStringLiteral("1000"));
        QCOMPARE(v.TLuminosidadLeds->text(), QStringLiteral("80"));
        QCOMPARE(v.TDientesDisco->text(), QStringLiteral("36"));
        QCOMPARE(v.TIdentificacion->text(), QStringLiteral("ABC             "));
        QCOMPARE(v.TNumeroID->text(), QStringLiteral("4660"));
        // Manufacturing data is saved but never restored.
        for (QLineEdit* t : {v.TSemanaFabricacion, v.TAnoFabricacion, v.TNumeroFabricacion, v.TModeloR,
                             v.TVersionFirmwareR, v.THardwareR})
            QCOMPARE(t->text(), QStringLiteral("9"));
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(TablaColores[r], colores[r]);
            QCOMPARE(LColor(r)->text(), QString::number(colores[r]));
            QCOMPARE(FondoCeldaPautas(r, 0), ColorDeCodigo(colores[r]));
            for (int c = 1; c <= 32; ++c) {
                const int32_t e = guardada[r][c];  // 0 degrees included
                QCOMPARE(TablaPautas[r][c], e);
                QCOMPARE(TextoCeldaPautas(r, c), e == 511 ? QString() : QString::number(e).rightJustified(3, '0'));
            }
        }
        QCOMPARE(TextoCeldaPautas(2, 2), QStringLiteral("000"));
        QCOMPARE(TextoCeldaPautas(2, 3), QStringLiteral("359"));

        // The file the load leaves behind saves to the same bytes, manufacturing data aside.
        for (QLineEdit* t : {v.TSemanaFabricacion, v.TAnoFabricacion, v.TNumeroFabricacion, v.TModeloR,
                             v.TVersionFirmwareR, v.THardwareR})
            t->setText(QString());
        v.TSemanaFabricacion->setText(QStringLiteral("30"));
        v.TAnoFabricacion->setText(QStringLiteral("24"));
        v.TNumeroFabricacion->setText(QStringLiteral("60000"));
        v.TModeloR->setText(QStringLiteral("7"));
        v.TVersionFirmwareR->setText(QStringLiteral("52"));
        v.THardwareR->setText(QStringLiteral("3"));
        const QString otra = ruta(QStringLiteral("otra.qzl"));
        Guardar(otra);
        QCOMPARE(Leer(otra), datos);
    }

    // The light levels are converted back with the sensor kind the file was saved with.
    void otroTipoDeSensor()
    {
        Ui::frmMain& v = Ventana();
        SeleccionarEntrada(v.ComboSensorLuz, 0);
        v.TLuxON->setText(QStringLiteral("37"));
        v.TLuxOFF->setText(QStringLiteral("12"));
        v.TLuxLamparaFundida->setText(QStringLiteral("250"));
        const QString archivo = ruta(QStringLiteral("fotodiodo.qzl"));
        Guardar(archivo);
        const QList<QByteArray> l = Lineas(Leer(archivo));
        int32_t lux = 37;
        const int32_t cuentas = LuxACuentas(lux, SensorFotodiodo);
        QCOMPARE(l[17].toInt() * 256 + l[18].toInt(), cuentas);

        SeleccionarEntrada(v.ComboSensorLuz, 1);
        v.TLuxON->setText(QString());
        Abrir(archivo);
        QCOMPARE(v.ComboSensorLuz->currentIndex(), 0);
        const std::initializer_list<std::pair<QLineEdit*, int>> niveles = {
            {v.TLuxON, 37}, {v.TLuxOFF, 12}, {v.TLuxLamparaFundida, 250}};
        for (const auto& [campo, valor] : niveles) {
            int32_t x = valor;
            int32_t n = LuxACuentas(x, SensorFotodiodo);
            QCOMPARE(campo->text(), QString::number(CuentasALux(n, SensorFotodiodo)));
        }
    }

    // Files made by hand or by other tools: what each item turns into.
    void valoresDeArchivo()
    {
        Ui::frmMain& v = Ventana();
        SeleccionarEntrada(v.ComboTipoCambiador, 3);
        ImagenParametros img;
        img.celda[27] = 7;   // no such changer type: left as it was
        img.celda[38] = 5;   // above the last lamp type: the last one
        img.celda[54] = 1;
        img.celda[55] = 0;
        img.celda[57] = 3;
        img.celda[58] = 232;
        img.celda[41] = 0;
        for (int i = 231; i <= 246; ++i)
            img.celda[i] = 'Z';
        QByteArray datos = ArchivoCon(img);
        QList<QByteArray> l = datos.split('\n');
        // Flash items: 0 to 360 are angles on load, 361 and texts without a number are not;
        // numbers are read by their prefix.
        const QByteArray items[] = {"0\r", "360\r", "5\r", "511\r", "abc\r", "361\r", "45xyz\r", " 90 \r", "-3\r", "12.6\r"};
        const int entradas[] = {0, 360, 5, 511, 511, 511, 45, 90, 511, 13};
        const char* textos[] = {"000", "360", "005", "", "", "", "045", "090", "", "013"};
        for (int i = 0; i < 10; ++i)
            l[257 + i] = items[i];  // row 1, columns 1 to 10
        l[256] = "16711680\r";        // colour of row 1
        l << "junk after the last line" << "more";
        datos = l.join('\n');
        TablaPautas[1][1] = 45;  // an entry the file rejects does not survive
        FijarTextoCeldaPautas(1, 1, QStringLiteral("045"));
        FijarCeldaActualPautas(5, 5);
        const QString archivo = ruta(QStringLiteral("mano.qzl"));
        QVERIFY(Escribir(archivo, datos));

        Abrir(archivo);
        QCOMPARE(Mensajes(), 0);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(TablaPautas[1][i + 1], entradas[i]);
            QCOMPARE(TextoCeldaPautas(1, i + 1), QString::fromLatin1(textos[i]));
        }
        QCOMPARE(TablaColores[1], 16711680);
        QCOMPARE(FondoCeldaPautas(1, 0), QColor(0, 0, 255));
        QCOMPARE(v.ComboTipoCambiador->currentIndex(), 3);
        QCOMPARE(v.ComboTipoLampara1->currentIndex(), 1);
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Checked);
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("1000"));
        QCOMPARE(v.TIdentificacion->text(), QStringLiteral("ZZZZZZZZZZZZZZZZ"));
        QCOMPARE(v.TNumeroID->text(), QStringLiteral("0"));  // older files carry 0 there
    }

    // A file loaded and saved again without an edit keeps its cells: light counts between
    // the table's steps, values a list clamps or ignores, cells no field shows. Only the
    // manufacturing data, which a load does not restore, comes from its fields.
    void cargarYGuardarSinCambios()
    {
        ImagenParametros img;
        for (int a = 0; a < 256; ++a)
            img.celda[a] = (a * 37 + 11) % 256;
        img.celda[54] = 2;
        img.celda[41] = 0;
        img.celda[17] = 2;
        img.celda[18] = 11;  // 523 photodiode counts, shown as 360 lux
        const QString archivo = ruta(QStringLiteral("tal_cual.qzl"));
        QVERIFY(Escribir(archivo, ArchivoCon(img)));
        Abrir(archivo);
        QCOMPARE(Mensajes(), 0);
        QCOMPARE(Ventana().TLuxON->text(), QStringLiteral("360"));
        const QString otra = ruta(QStringLiteral("tal_cual_otra.qzl"));
        Guardar(otra);
        QCOMPARE(Mensajes(), 0);
        const QList<QByteArray> l = Lineas(Leer(otra));
        for (int a = 0; a < 256; ++a) {
            if (a < 247 || a > 253)
                QCOMPARE(l[a].toInt(), img.celda[a]);
        }
        // An edited field is encoded anew, the others stay.
        Ventana().TLuxON->setText(QStringLiteral("100"));
        Guardar(otra);
        const QList<QByteArray> m = Lineas(Leer(otra));
        QCOMPARE(m[17].toInt() * 256 + m[18].toInt(), 214);  // photodiode count of 100 lux
        QCOMPARE(m[100].toInt(), img.celda[100]);
    }

    void cargaRechazada_data()
    {
        QTest::addColumn<QByteArray>("datos");
        QTest::addColumn<QString>("motivo");

        ImagenParametros img;
        img.celda[54] = 2;
        const QByteArray buena = ArchivoCon(img);
        const QList<QByteArray> l = buena.split('\n');
        auto cambiar = [&](int linea, const QByteArray& texto) {
            QList<QByteArray> c = l;
            c[linea - 1] = texto + "\r";
            return c.join('\n');
        };
        QTest::newRow("300 lines") << l.mid(0, 300).join('\n') + "\n" << "300";
        QTest::newRow("519 lines") << l.mid(0, 519).join('\n') + "\n" << "519";
        QTest::newRow("empty") << QByteArray() << "0";
        QTest::newRow("check state 3") << cambiar(55, "3") << "Line 55";
        QTest::newRow("check state -1") << cambiar(55, "-1") << "Line 55";
        QTest::newRow("not a number") << cambiar(10, "abc") << "Line 10";
        QTest::newRow("decimal cell") << cambiar(2, "1.5") << "Line 2";
        QTest::newRow("empty cell") << cambiar(200, "") << "Line 200";
        QTest::newRow("too large for 32 bits") << cambiar(3, "4294967296") << "Line 3";
        QTest::newRow("list index -2") << cambiar(40, "-2") << "Line 40";
        QTest::newRow("identifier code 300") << cambiar(235, "300") << "Line 232";
        QTest::newRow("colour too large") << cambiar(290, "1e20") << "Line 290";
        QTest::newRow("binary") << QByteArray(600, '\0') << "";
        QTest::newRow("huge") << buena + QByteArray(TamanoMaximoArchivoQZL, '7') << "too large";
    }
    // A short, damaged or oversized file changes nothing and says why.
    void cargaRechazada()
    {
        QFETCH(QByteArray, datos);
        QFETCH(QString, motivo);
        Ui::frmMain& v = Ventana();
        v.TVelocidadUsuario1->setText(QStringLiteral("2.5000"));
        v.TIdentificacion->setText(QStringLiteral("KEEP"));
        v.CheckBalizaEmergencia->setCheckState(Qt::Checked);
        SeleccionarEntrada(v.ComboTipoLampara2, 1);
        for (int c = 1; c <= 32; ++c)
            TablaPautas[2][c] = c * 10;
        TablaColores[2] = 4321;
        RellenarColores();
        RedibujaGrid();
        const Instantanea antes = Instantanea::Tomar();

        const QString archivo = ruta(QStringLiteral("mala.qzl"));
        QVERIFY(Escribir(archivo, datos));
        Abrir(archivo);

        QCOMPARE(Mensajes(), 1);
        QVERIFY2(DialogosMostrados().last().texto.contains(motivo), qPrintable(DialogosMostrados().last().texto));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Ended")));
        antes.Comparar(Instantanea::Tomar());
    }

    void cargaCancelada()
    {
        Ventana().TIdentificacion->setText(QStringLiteral("KEEP"));
        TablaPautas[1][1] = 90;
        const Instantanea antes = Instantanea::Tomar();
        Abrir(QString());
        QCOMPARE(DialogosMostrados().size(), 1);
        QCOMPARE(DialogosMostrados().first().tipo, PeticionDialogo::AbrirArchivo);
        QCOMPARE(DialogosMostrados().first().filtro, QStringLiteral("Parametros (*.qzl)"));
        antes.Comparar(Instantanea::Tomar());
        // A file that is not there: the reason, nothing changed.
        Abrir(ruta(QStringLiteral("no-such-file.qzl")));
        QCOMPARE(Mensajes(), 1);
        antes.Comparar(Instantanea::Tomar());
    }

    void dialogoDeGuardar()
    {
        // Cancelled: nothing written, nothing said.
        Guardar(QString());
        QCOMPARE(DialogosMostrados().size(), 1);
        const PeticionDialogo p = DialogosMostrados().first();
        QCOMPARE(p.tipo, PeticionDialogo::GuardarArchivo);
        QCOMPARE(p.filtro, QStringLiteral("Parametros (*.qzl)"));
        QVERIFY(p.propuesto.endsWith(QStringLiteral(".qzl")));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral(" Saved file")));

        // A name typed without an extension gets ".qzl"; one with an extension keeps it.
        Guardar(ruta(QStringLiteral("faro")));
        QVERIFY(QFile::exists(ruta(QStringLiteral("faro.qzl"))));
        QVERIFY(!QFile::exists(ruta(QStringLiteral("faro"))));
        Guardar(ruta(QStringLiteral("faro.txt")));
        QVERIFY(QFile::exists(ruta(QStringLiteral("faro.txt"))));
        // The next save proposes the last file.
        Guardar(QString());
        QCOMPARE(DialogosMostrados().last().propuesto, ruta(QStringLiteral("faro.txt")));
    }

    // A strict field without a number, or a value its cells cannot hold, stops the save
    // before the dialog; the bounds themselves are saved.
    void guardarCampoInvalido_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("seGuarda");
        QTest::newRow("lux off empty") << "TLuxOFF" << "" << false;
        QTest::newRow("PWM 300") << "TPWMLed" << "300" << false;
        QTest::newRow("PWM -1") << "TPWMLed" << "-1" << false;
        QTest::newRow("PWM 255") << "TPWMLed" << "255" << true;
        QTest::newRow("failed turns 70000") << "TVueltasError" << "70000" << false;
        QTest::newRow("lamp delay 6553.7") << "TRetardoLamparaFundida" << "6553.7" << false;
        QTest::newRow("lamp delay 6553.5") << "TRetardoLamparaFundida" << "6553.5" << true;
        QTest::newRow("lux on 1e309") << "TLuxON" << "1e309" << false;
        QTest::newRow("week 300") << "TSemanaFabricacion" << "300" << false;
        QTest::newRow("speed 0") << "TVelocidadUsuario1" << "0" << true;
    }
    void guardarCampoInvalido()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(bool, seGuarda);
        Texto(campo.toLatin1().constData())->setText(texto);
        const QString archivo = ruta(QStringLiteral("limite.qzl"));
        QFile::remove(archivo);
        Guardar(archivo);
        if (seGuarda) {
            QCOMPARE(Mensajes(), 0);
            QVERIFY(QFile::exists(archivo));
            const FilaMapa* f = FilaDeCampo(campo);
            const QList<QByteArray> l = Lineas(Leer(archivo));
            for (int a = f->primera; a < f->primera + f->celdas; ++a)
                QCOMPARE(l[a].toInt(), texto == QStringLiteral("0") ? 0 : 255);
        } else {
            QCOMPARE(DialogosMostrados().size(), 1);
            QCOMPARE(DialogosMostrados().first().tipo, PeticionDialogo::Mensaje);
            QVERIFY(!QFile::exists(archivo));
        }
        Texto(campo.toLatin1().constData())->setText(QStringLiteral("1"));
    }

    void guardarFallido_data()
    {
        QTest::addColumn<int>("caso");
        QTest::newRow("read-only folder") << 0;
        QTest::newRow("vanished folder") << 1;
        QTest::newRow("disk full") << 2;
    }
    // A save that cannot be completed says so and leaves the earlier file as it was.
    void guardarFallido()
    {
        QFETCH(int, caso);
        const QString dir = ruta(QStringLiteral("sub%1").arg(caso));
        QVERIFY(QDir().mkpath(dir));
        const QString archivo = dir + QStringLiteral("/viejo.qzl");
        const QByteArray viejo = "old contents\r\n";
        QVERIFY(Escribir(archivo, viejo));
        Ventana().TIdentificacion->setText(QStringLiteral("NEW"));

        rlimit limite{};
        getrlimit(RLIMIT_FSIZE, &limite);
        if (caso == 0) {
            CarpetaSoloLectura soloLectura(dir);
            if (!soloLectura.activa)
                QSKIP("no way to make a folder read-only for this user");
            Guardar(archivo);
        } else if (caso == 1) {
            // The dialog answered, then the folder went away.
            FijarContestadorDialogos([&](const PeticionDialogo& p) {
                RespuestaDialogo r;
                if (p.tipo == PeticionDialogo::GuardarArchivo) {
                    r.archivo = dir + QStringLiteral("/nuevo.qzl");
                    QDir(dir).removeRecursively();
                }
                return r;
            });
            QTest::mouseClick(Ventana().CGuardar, Qt::LeftButton);
        } else {
            // Writes beyond 1000 bytes fail, as on a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit corto = limite;
            corto.rlim_cur = 1000;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &corto), 0);
            Guardar(archivo);
            setrlimit(RLIMIT_FSIZE, &limite);
        }

        QCOMPARE(Mensajes(), 1);
        QVERIFY(!HistorialPanel1().contains(QStringLiteral(" Saved file")));
        if (caso != 1) {
            QCOMPARE(Leer(archivo), viejo);
            QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("viejo.qzl")});
        }
    }

    void textoYLectura()
    {
        // The text form and the reading agree on every item kind.
        ImagenParametros img;
        for (int i = 0; i < 256; ++i)
            img.celda[i] = i * 7 - 300;
        int32_t colores[9] = {0, 1, 16777215, 3, 4, 5, 6, 7, -8};
        int32_t tabla[9][33];
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 33; ++c)
                tabla[r][c] = (r * 33 + c) % 362;
        ContenidoArchivoQZL leido;
        QString error;
        QVERIFY(InterpretarArchivoQZL(TextoArchivoQZL(img, colores, tabla), leido, error));
        for (int i = 0; i < 256; ++i)
            QCOMPARE(leido.imagen.celda[i], img.celda[i]);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(leido.colores[r], colores[r]);
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(leido.tabla[r][c], tabla[r][c] >= 0 && tabla[r][c] <= 360 ? tabla[r][c] : 511);
        }
        // LF-only files read the same.
        QByteArray lf = TextoArchivoQZL(img, colores, tabla);
        lf.replace("\r\n", "\n");
        ContenidoArchivoQZL otro;
        QVERIFY(InterpretarArchivoQZL(lf, otro, error));
        QCOMPARE(otro.imagen.celda[255], img.celda[255]);
        QCOMPARE(otro.colores[8], -8);
    }
};

QTEST_MAIN(tst_archivo)
#include "tst_archivo.moc"
