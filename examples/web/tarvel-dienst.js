// Printing from a web till through "tarvel dienst", the print service on the
// till's own computer. The service answers only pages whose origin was allowed
// there ("tarvel dienst --erlaube https://kasse.example") and only requests
// that carry its key ("tarvel dienst --token").
//
//   import { TarvelDienst } from './tarvel-dienst.js';
//   const dienst = new TarvelDienst({ token: '…' });
//   const auftrag = await dienst.drucken([{ art: 'label', felder: { ArtikelNr: '4711', Preis1: '12,95' } }]);

/** A refusal or failure of the service, with its German message. */
export class DienstFehler extends Error {
  /**
   * @param {number} status  HTTP status, 0 when the service could not be reached
   * @param {{fehler?: number, meldung?: string, etikett?: number}} antwort
   */
  constructor(status, antwort = {}) {
    super(antwort.meldung || `Der Druckdienst antwortete mit ${status}.`);
    this.name = 'DienstFehler';
    this.status = status;
    this.fehler = antwort.fehler ?? status;
    /** Index of the label that failed, if one did. */
    this.etikett = antwort.etikett;
  }
}

export class TarvelDienst {
  /**
   * @param {{url?: string, token: string, zeitlimitMs?: number}} optionen
   */
  constructor({ url = 'http://127.0.0.1:9180', token, zeitlimitMs = 15000 } = {}) {
    if (!token) throw new DienstFehler(401, { meldung: 'Der Schlüssel fehlt; ihn zeigt „tarvel dienst --token“.' });
    this.url = url.replace(/\/+$/, '');
    this.token = token;
    this.zeitlimitMs = zeitlimitMs;
  }

  /** Version, printers (media, resolution, fitting kinds) and the default printer. */
  status() {
    return this.#anfrage('GET', '/v1/status');
  }

  /**
   * Prints the labels as one job: all of them, or none when one fails.
   * @param {Array<{art: string, felder?: object, zeilen?: string[], startposition?: number, fettzeile?: number}>} etiketten
   * @param {{drucker?: string}} optionen  a printer other than the default one
   * @returns {Promise<{auftrag: number, drucker: string, ziel: string, etiketten: number, cupsAuftrag?: number}>}
   */
  drucken(etiketten, { drucker } = {}) {
    return this.#anfrage('POST', '/v1/auftraege', drucker ? { drucker, etiketten } : { etiketten });
  }

  /** A printed job and its state (CUPS's, where it went to a queue). */
  auftrag(id) {
    return this.#anfrage('GET', `/v1/auftraege/${encodeURIComponent(id)}`);
  }

  async #anfrage(method, pfad, body) {
    let antwort;
    try {
      antwort = await fetch(this.url + pfad, {
        method,
        headers: { Authorization: `Bearer ${this.token}`, ...(body ? { 'Content-Type': 'application/json' } : {}) },
        body: body ? JSON.stringify(body) : undefined,
        cache: 'no-store',
        signal: AbortSignal.timeout(this.zeitlimitMs),
      });
    } catch (e) {
      // A browser hides why: the service may not run, or this page's origin is not allowed.
      throw new DienstFehler(0, {
        meldung: `Der Druckdienst unter ${this.url} ist nicht erreichbar (${e.name}). Läuft „tarvel dienst“, ` +
          'und ist diese Seite dort mit „tarvel dienst --erlaube HERKUNFT“ freigegeben?',
      });
    }
    const text = await antwort.text();
    let daten = {};
    try {
      daten = text ? JSON.parse(text) : {};
    } catch {
      daten = { meldung: text };
    }
    if (!antwort.ok) throw new DienstFehler(antwort.status, daten);
    return daten;
  }
}

/**
 * An ISBN as typed or scanned (ISBN-10 or ISBN-13, with or without hyphens)
 * as its 13 digits; null when it is none or its check digit is wrong.
 */
export function isbn13(text) {
  const s = String(text).replace(/[\s-]/g, '').toUpperCase();
  let ziffern;
  if (/^\d{9}[\dX]$/.test(s)) {
    const summe = [...s].reduce((a, c, i) => a + (c === 'X' ? 10 : Number(c)) * (10 - i), 0);
    if (summe % 11 !== 0) return null;
    ziffern = '978' + s.slice(0, 9);
  } else if (/^97[89]\d{10}$/.test(s)) {
    ziffern = s.slice(0, 12);
  } else {
    return null;
  }
  const pruef = (10 - ([...ziffern].reduce((a, c, i) => a + Number(c) * (i % 2 ? 3 : 1), 0) % 10)) % 10;
  const isbn = ziffern + pruef;
  return s.length === 13 && s !== isbn ? null : isbn;
}
