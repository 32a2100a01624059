// The memory map: encoders and decoders per row, the table's own consistency,
// the presence map.
#include "app/ModuloKX.h"
#include "params/Catalogo.h"
#include "params/TablaLux.h"

#include <QLocale>
#include <QTest>
#include <set>

namespace {

QList<int> Celdas(const FilaMapa& f, const ImagenParametros& img)
{
    QList<int> l;
    for (int i = 0; i < f.celdas; ++i)
        l << img.celda[f.primera + i];
    return l;
}

QList<int> Blancos(QList<int> l, int total)
{
    while (l.size() < total)
        l << 32;
    return l;
}

}  // namespace

class MapaPrueba : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { CargarTablaLux(); }
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), 0);
    }

    void codificar_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("marca");
        QTest::addColumn<int>("sensor");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QList<int>>("celdas");
        QTest::addColumn<QString>("textoDespues");
        const int d = SensorFotodiodo;
        const int c = SensorFotocelula;
        using L = QList<int>;
        auto fila = [](const char* n) -> QTestData& { return QTest::newRow(n); };
        fila("velocidad 1.25") << "TVelocidadUsuario1" << "1.25" << 0 << 0 << d << true << L{0, 48, 212} << "1.25";
        fila("velocidad negativa, no cabe") << "TVelocidadUsuario2" << "-1" << 0 << 0 << d << false << L{0, 0, 0} << "-1";
        fila("velocidad tope de 24 bits") << "TVelocidadUsuario2" << "1677.7215" << 0 << 0 << d << true << L{255, 255, 255} << "1677.7215";
        fila("velocidad sobre 24 bits") << "TVelocidadUsuario2" << "1677.7216" << 0 << 0 << d << false << L{0, 0, 0} << "1677.7216";
        fila("velocidad 0") << "TVelocidadUsuario2" << "0" << 0 << 0 << d << true << L{0, 0, 0} << "0";
        fila("velocidad vacia") << "TVelocidadUsuario3" << "" << 0 << 0 << d << false << L{0, 0, 0} << "";
        fila("reductor 25.5") << "TRelacionReductor" << "25.5" << 0 << 0 << d << true << L{0, 9, 246} << "25.5";
        fila("pulsos prefijo") << "TPulsosRevolucion" << "258 p" << 0 << 0 << d << true << L{1, 2} << "258 p";
        fila("lampara 0.05 a par") << "TTiempoLampara1" << "0.05" << 0 << 0 << d << true << L{0, 0} << "0.05";
        fila("lampara 0.15") << "TTiempoLampara1" << "0.15" << 0 << 0 << d << true << L{0, 2} << "0.15";
        fila("lampara letras") << "TTiempoLampara2" << "x" << 0 << 0 << d << false << L{0, 0} << "x";
        fila("PWM 300 no cabe") << "TPWMLed" << "300" << 0 << 0 << d << false << L{0} << "300";
        fila("PWM 255") << "TPWMLed" << "255" << 0 << 0 << d << true << L{255} << "255";
        fila("PWM -1 no cabe") << "TPWMLed" << "-1" << 0 << 0 << d << false << L{0} << "-1";
        fila("PWM -0.4 redondea a 0") << "TPWMLed" << "-0.4" << 0 << 0 << d << true << L{0} << "-0.4";
        fila("vueltas 256 no cabe") << "TVueltasError" << "256" << 0 << 0 << d << false << L{0} << "256";
        fila("retardo alarma 6553.5") << "TRetardoLamparaFundida" << "6553.5" << 0 << 0 << d << true << L{255, 255} << "6553.5";
        fila("retardo alarma 6553.7 no cabe") << "TRetardoLamparaFundida" << "6553.7" << 0 << 0 << d << false << L{0, 0} << "6553.7";
        fila("tiempo de 1000") << "txtTiempoDe" << "1000" << 0 << 0 << d << true << L{3, 232} << "1000";
        fila("tiempo de letras") << "txtTiempoDe" << "abc" << 0 << 0 << d << true << L{0, 0} << "0";
        fila("tiempo de negativo, hacia cero") << "txtTiempoDe" << "-300" << 0 << 0 << d << true << L{-1, -44} << "-300";
        fila("tiempo de enorme") << "txtTiempoDe" << "1e20" << 0 << 0 << d << false << L{0, 0} << "1e20";
        fila("grupo leds 300") << "txtGrupoLeds" << "300" << 0 << 0 << d << true << L{255} << "255";
        fila("grupo leds 255.6") << "txtGrupoLeds" << "255.6" << 0 << 0 << d << true << L{255} << "255";
        fila("grupo leds letras") << "txtGrupoLeds" << "leds" << 0 << 0 << d << true << L{0} << "0";
        fila("grupo leds negativo") << "txtGrupoLeds" << "-5" << 0 << 0 << d << true << L{-5} << "-5";
        fila("atenuacion letras") << "txtAtenuacionNocturna" << "abc" << 0 << 0 << d << true << L{0} << "abc";
        fila("atenuacion 300 entera") << "txtAtenuacionNocturna" << "300" << 0 << 0 << d << true << L{300} << "300";
        fila("atenuacion 1.5") << "txtAtenuacionNocturna" << "1.5" << 0 << 0 << d << true << L{2} << "1.5";
        fila("pulso letras") << "txtDuracionPulsoSincronismo" << "x" << 0 << 0 << d << true << L{0} << "0";
        fila("pulso 300 entero") << "txtDuracionPulsoSincronismo" << "300" << 0 << 0 << d << true << L{300} << "300";
        fila("lux on vacio diodo") << "TLuxON" << "" << 0 << 0 << d << true << L{0, 0} << "";
        fila("lux on vacio celula") << "TLuxON" << "" << 0 << 0 << c << true << L{3, 201} << "";
        fila("lux on 100 diodo") << "TLuxON" << "100" << 0 << 0 << d << true << L{0, 214} << "100";
        fila("lux on sin sensor") << "TLuxON" << "100" << 0 << 0 << -1 << true << L{0, 0} << "100";
        fila("lux off vacio") << "TLuxOFF" << "" << 0 << 0 << d << false << L{0, 0} << "";
        fila("lux off 550 celula") << "TLuxOFF" << "550" << 0 << 0 << c << true << L{0, 122} << "550";
        fila("lux off 600 diodo") << "TLuxOFF" << "600" << 0 << 0 << d << true << L{2, 124} << "600";
        fila("alarma lampara letras") << "TLuxLamparaFundida" << "abc" << 0 << 0 << d << false << L{0, 0} << "abc";
        fila("cambiador sin seleccion") << "ComboTipoCambiador" << "" << -1 << 0 << d << true << L{-1} << "";
        fila("cambiador 3") << "ComboTipoCambiador" << "LED" << 3 << 0 << d << true << L{3} << "LED";
        fila("sensor 1") << "ComboSensorLuz" << "" << 1 << 0 << d << true << L{1} << "";
        fila("baliza gris") << "CheckBalizaEmergencia" << "" << 0 << 2 << d << true << L{2} << "";
        fila("baliza marcada") << "CheckBalizaEmergencia" << "" << 0 << 1 << d << true << L{1} << "";
        fila("identificador ABC") << "TIdentificacion" << "ABC" << 0 << 0 << d << true << Blancos({65, 66, 67}, 16) << "ABC";
        fila("identificador de 20") << "TIdentificacion" << "ABCDEFGHIJKLMNOPQRST" << 0 << 0 << d << true
                                    << L{65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80}
                                    << "ABCDEFGHIJKLMNOPQRST";
        fila("identificador latino") << "TIdentificacion" << QString::fromUtf8("Ñ€") << 0 << 0 << d << true
                                     << Blancos({209, 63}, 16) << QString::fromUtf8("Ñ€");
        fila("numero ID 258") << "TNumeroID" << "258" << 0 << 0 << d << true << L{1, 2} << "258";
        fila("numero ID negativo no cabe") << "TNumeroID" << "-1" << 0 << 0 << d << false << L{0, 0} << "-1";
        fila("numero ID 65535") << "TNumeroID" << "65535" << 0 << 0 << d << true << L{255, 255} << "65535";
        fila("grados 70000 no cabe") << "TGradosOffset" << "70000" << 0 << 0 << d << false << L{0, 0} << "70000";
        fila("luminosidad 300 entera") << "TLuminosidadLeds" << "300" << 0 << 0 << d << true << L{300} << "300";
        fila("semana 300 no cabe") << "TSemanaFabricacion" << "300" << 0 << 0 << d << false << L{0} << "300";
        fila("lux on 1e309") << "TLuxON" << "1e309" << 0 << 0 << d << false << L{0, 0} << "1e309";
        fila("lux on negativo, la tabla acota") << "TLuxON" << "-5" << 0 << 0 << d << true << L{0, 0} << "-5";
    }

    void codificar()
    {
        QFETCH(QString, campo);
        QFETCH(QString, texto);
        QFETCH(int, indice);
        QFETCH(int, marca);
        QFETCH(int, sensor);
        QFETCH(bool, ok);
        QFETCH(QList<int>, celdas);
        QFETCH(QString, textoDespues);
        const FilaMapa* f = FilaDeCampo(campo);
        QVERIFY(f);
        ImagenParametros img;
        ValorCampo v{texto, indice, marca, {}};
        QCOMPARE(CodificarCampo(*f, v, img, sensor), ok);
        QCOMPARE(Celdas(*f, img), celdas);
        QCOMPARE(v.texto, textoDespues);
        // Nothing outside the row's cells is touched.
        for (int a = 0; a < CeldasParametros; ++a) {
            if (a < f->primera || a >= f->primera + f->celdas)
                QCOMPARE(img.celda[a], 0);
        }
    }

    void decodificar_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QList<int>>("celdas");
        QTest::addColumn<int>("sensor");
        QTest::addColumn<int>("indiceAntes");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("marca");
        QTest::addColumn<QString>("cuentas");
        const int d = SensorFotodiodo;
        const int c = SensorFotocelula;
        using L = QList<int>;
        auto fila = [](const char* n) -> QTestData& { return QTest::newRow(n); };
        fila("velocidad 1.2500") << "TVelocidadUsuario1" << L{0, 48, 212} << d << 0 << true << "1.2500" << 0 << 0 << "";
        fila("velocidad maxima") << "TVelocidadUsuario4" << L{255, 255, 255} << d << 0 << true << "1677.7215" << 0 << 0 << "";
        fila("reductor 25.50") << "TRelacionReductor" << L{0, 9, 246} << d << 0 << true << "25.50" << 0 << 0 << "";
        fila("fotocelula 0.0") << "TTestFotocelula" << L{0, 0} << d << 0 << true << "0.0" << 0 << 0 << "";
        fila("consumo fixed") << "TMaxConsumoLed" << L{1, 44} << d << 0 << true << "3.00" << 0 << 0 << "";
        fila("margen ##0.00") << "TMargenErrorMotor2" << L{0, 50} << d << 0 << true << "0.50" << 0 << 0 << "";
        fila("tiempo de 999") << "txtTiempoDe" << L{3, 231} << d << 0 << true << "999" << 0 << 0 << "";
        fila("tiempo de 1000 muestra 999") << "txtTiempoDe" << L{3, 232} << d << 0 << true << "999" << 0 << 0 << "";
        fila("tiempo de 5") << "txtTiempoDe" << L{0, 5} << d << 0 << true << "5" << 0 << 0 << "";
        fila("numero ID 16 bits") << "TNumeroID" << L{255, 255} << d << 0 << true << "65535" << 0 << 0 << "";
        fila("fabricacion 16 bits") << "TNumeroFabricacion" << L{1, 2} << d << 0 << true << "258" << 0 << 0 << "";
        fila("firmware") << "TVersionFirmwareR" << L{47} << d << 0 << true << "47" << 0 << 0 << "";
        fila("cambiador 9 no cambia") << "ComboTipoCambiador" << L{9} << d << 2 << true << "" << 2 << 0 << "";
        fila("cambiador 4") << "ComboTipoCambiador" << L{4} << d << 2 << true << "" << 4 << 0 << "";
        fila("lampara principal 7 acotada") << "ComboLamparaPrincipal" << L{7} << d << 0 << true << "" << 2 << 0 << "";
        fila("tipo lampara 200 acotada") << "ComboTipoLampara1" << L{200} << d << 0 << true << "" << 1 << 0 << "";
        fila("modo 3 es 24 horas") << "cmbModofuncionamiento" << L{3} << d << 0 << true << "" << 1 << 0 << "";
        fila("modo 0") << "cmbModofuncionamiento" << L{0} << d << 1 << true << "" << 0 << 0 << "";
        fila("lista sin seleccion") << "ComboTipoMotor" << L{-1} << d << 1 << true << "" << -1 << 0 << "";
        fila("lista imposible") << "ComboTipoMotor" << L{-2} << d << 1 << false << "antes" << 1 << 0 << "";
        fila("baliza 2 despejada") << "CheckBalizaEmergencia" << L{2} << d << 0 << true << "" << 0 << 0 << "";
        fila("baliza 3 marcada") << "CheckBalizaEmergencia" << L{3} << d << 0 << true << "" << 0 << 1 << "";
        fila("lux on celula 192") << "TLuxON" << L{0, 192} << c << 0 << true << "100" << 0 << 0 << "192";
        fila("lux off diodo 900") << "TLuxOFF" << L{3, 132} << d << 0 << true << "550" << 0 << 0 << "840";
        fila("alarma lampara diodo 210") << "TLuxLamparaFundida" << L{0, 210} << d << 0 << true << "95" << 0 << 0 << "210";
        fila("lux sin sensor") << "TLuxON" << L{0, 192} << -1 << 0 << true << "0" << 0 << 0 << "192";
        fila("identificador con blancos") << "TIdentificacion" << Blancos({65, 66, 67}, 16) << d << 0 << true
                                          << "ABC             " << 0 << 0 << "";
        fila("identificador imposible") << "TIdentificacion" << Blancos({65, 300}, 16) << d << 0 << false
                                        << "antes" << 0 << 0 << "";
    }

    void decodificar()
    {
        QFETCH(QString, campo);
        QFETCH(QList<int>, celdas);
        QFETCH(int, sensor);
        QFETCH(int, indiceAntes);
        QFETCH(bool, ok);
        QFETCH(QString, texto);
        QFETCH(int, indice);
        QFETCH(int, marca);
        QFETCH(QString, cuentas);
        const FilaMapa* f = FilaDeCampo(campo);
        QVERIFY(f);
        QCOMPARE(celdas.size(), int{f->celdas});
        ImagenParametros img;
        for (int i = 0; i < f->celdas; ++i)
            img.celda[f->primera + i] = celdas[i];
        ValorCampo v;
        v.indice = indiceAntes;
        v.texto = ok ? QString() : QStringLiteral("antes");
        QCOMPARE(DecodificarCampo(*f, img, v, sensor), ok);
        QCOMPARE(v.texto, texto);
        QCOMPARE(v.indice, indice);
        QCOMPARE(v.marca, marca);
        QCOMPARE(v.textoCuentas, cuentas);
    }

    // Decoding then encoding gives the same cells back for every field that
    // shows its cells without loss, in a comma locale too.
    void idaYVuelta()
    {
        for (const char* local : {"en_US", "de_DE"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(local)));
            for (const FilaMapa& f : MapaMemoria()) {
                const bool sinPerdida = (f.lectura == Lectura::Escalada || f.lectura == Lectura::Entera
                                         || f.lectura == Lectura::Caracteres)
                    && f.disposicion != Disposicion::Entero;
                if (!sinPerdida)
                    continue;
                for (const int semilla : {0, 0x5A, 0xFF}) {
                    ImagenParametros img;
                    for (int i = 0; i < f.celdas; ++i)
                        img.celda[f.primera + i] = f.lectura == Lectura::Caracteres
                            ? 32 + (semilla + 37 * i) % 224
                            : (semilla + 91 * i) % 256;
                    ValorCampo v;
                    QVERIFY(DecodificarCampo(f, img, v, SensorFotodiodo));
                    ImagenParametros otra;
                    QVERIFY2(CodificarCampo(f, v, otra, SensorFotodiodo), f.campo);
                    QCOMPARE(Celdas(f, otra), Celdas(f, img));
                }
            }
        }
    }

    // The one table is what everything else reads: it must hold together.
    void tablaCoherente()
    {
        std::set<QString> campos;
        int siguiente = 0;
        for (const FilaMapa& f : MapaMemoria()) {
            QVERIFY2(f.primera >= siguiente, f.campo);  // in cell order, no overlap
            siguiente = f.primera + f.celdas;
            QVERIFY(siguiente <= CeldasParametros);
            QVERIFY2(campos.insert(QString::fromLatin1(f.campo)).second, f.campo);
            int celdas = 1;
            switch (f.disposicion) {
            case Disposicion::Bits24: celdas = 3; break;
            case Disposicion::Bits16:
            case Disposicion::DivMod256: celdas = 2; break;
            case Disposicion::Identificador16: celdas = 16; break;
            default: break;
            }
            QVERIFY2(f.celdas == celdas, f.campo);
            QCOMPARE(f.tipo == TipoCampo::Lista, EnumeracionDe(QString::fromLatin1(f.campo)) != nullptr);
            QCOMPARE(f.fuente == Fuente::Indice, f.tipo == TipoCampo::Lista);
            QCOMPARE(f.luz, f.lectura == Lectura::Luz);
            const bool fabricacion = f.primera >= PrimeraCeldaFabricacion && f.primera <= UltimaCeldaFabricacion;
            QVERIFY2(f.seEnvia != fabricacion, f.campo);
            for (int a = f.primera; a < f.primera + f.celdas; ++a)
                QCOMPARE(FilaDeCelda(a), &f);
        }
        for (const Enumeracion& e : Enumeraciones()) {
            const FilaMapa* f = FilaDeCampo(QString::fromLatin1(e.lista));
            QVERIFY(f);
            QCOMPARE(int{f->primera}, int{e.celda});
        }
        QVERIFY(!FilaDeCelda(61));
        QVERIFY(!FilaDeCelda(225));
    }

    void ordenDeDecodificacion()
    {
        const std::vector<const FilaMapa*> orden = OrdenDecodificacion();
        QCOMPARE(orden.size(), MapaMemoria().size());
        QCOMPARE(orden.front(), FilaDeCampo(QStringLiteral("ComboSensorLuz")));
        QCOMPARE(std::set<const FilaMapa*>(orden.begin(), orden.end()).size(), orden.size());
    }

    void presencia()
    {
        for (int a = 0; a < CeldasParametros; ++a)
            QVERIFY(!ComprobarParametro(static_cast<int16_t>(a)));
        QVERIFY(DireccionesEscritura().empty());
        MapaParametros[0] = 0x09;   // addresses 0 and 3
        MapaParametros[31] = 0x80;  // address 255
        for (int a = 0; a < CeldasParametros; ++a)
            QCOMPARE(ComprobarParametro(static_cast<int16_t>(a)), a == 0 || a == 3 || a == 255);
        QVERIFY(!ComprobarParametro(-1));
        QVERIFY(!ComprobarParametro(256));
        QCOMPARE(DireccionesEscritura(), (std::vector<int>{0, 3, 255}));
    }

    void escrituraNuncaTocaLaFabricacion()
    {
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), 0xFF);
        const std::vector<int> d = DireccionesEscritura();
        QCOMPARE(d.size(), size_t{249});
        QCOMPARE(d[246], 246);
        QCOMPARE(d[247], 254);
        QCOMPARE(d[248], 255);
    }
};

QTEST_GUILESS_MAIN(MapaPrueba)
#include "tst_mapa.moc"
